#include "platform/access_advice.h"

#include <unistd.h>

#include <cerrno>

namespace flextor {

bool AccessDenied(const std::string& path, bool read_too) {
    const int mode = read_too ? (R_OK | W_OK) : W_OK;
    return access(path.c_str(), mode) != 0 && errno == EACCES;
}

std::string PortAccessAdvice(const std::string& port) {
    if (port.empty() || !AccessDenied("/dev/" + port, true)) {
        return "";
    }
    return "Нет прав на порт " + port + ": " + kAccessGroupsAdvice;
}

std::string GpioAccessAdvice(const std::string& gpio_root) {
    const std::string export_file = gpio_root + "/export";
    if (!AccessDenied(export_file, false)) {
        return "";
    }
    return "Нет прав на выводы GPIO (" + export_file + "): " + kAccessGroupsAdvice;
}

}  // namespace flextor
