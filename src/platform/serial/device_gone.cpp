#include "platform/serial/device_gone.h"

#include <unistd.h>

#include <cerrno>

namespace flextor {

bool IsDeviceGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

bool DevicePathMissing(const std::string& path) {
    return access(path.c_str(), F_OK) != 0 && errno == ENOENT;
}

}  // namespace flextor
