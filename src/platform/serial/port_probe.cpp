#include "platform/serial/port_probe.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/serial/serial_port.h"

namespace flextor {
namespace {

constexpr int kProbeBaud = 9600;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsFolder(const std::string& path, unsigned char type) {
    if (type != DT_UNKNOWN) {
        return type == DT_DIR;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> ListSerialPorts(const std::string& folder) {
    std::vector<std::string> ports;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return ports;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        const std::string path = folder + name;
        if (name.rfind("tty", 0) != 0 || IsFolder(path, entry->d_type)) {
            continue;
        }
        if (OpenSerialPort(path, kProbeBaud) != nullptr) {
            ports.push_back(name);
        }
    }
    return ports;
}

}  // namespace flextor
