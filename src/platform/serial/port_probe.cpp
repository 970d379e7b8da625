#include "platform/serial/port_probe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>

#include <memory>

#include "base/files/unique_fd.h"

namespace flextor {
namespace {

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

// Opens path as the link would, non-blocking and without becoming its controlling
// terminal, and sets it to raw 8N1 at 9600 baud; the device's own settings are
// put back at once, so a console among the entries is left as it was.
bool OpensAsSerialPort(const std::string& path) {
    UniqueFd fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    termios saved{};
    if (fd.Get() < 0 || tcgetattr(fd.Get(), &saved) != 0) {
        return false;
    }
    termios tio = saved;
    tio.c_iflag = IGNPAR;
    tio.c_oflag = 0;
    tio.c_cflag = CS8 | CREAD | CLOCAL;
    tio.c_lflag = 0;
    const bool opens = cfsetispeed(&tio, B9600) == 0 && cfsetospeed(&tio, B9600) == 0 &&
                       tcsetattr(fd.Get(), TCSANOW, &tio) == 0;
    tcsetattr(fd.Get(), TCSANOW, &saved);
    return opens;
}

}  // namespace

std::vector<std::string> ListSerialPorts(const std::string& in_use, const std::string& folder) {
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
        if (name == in_use || OpensAsSerialPort(path)) {
            ports.push_back(name);
        }
    }
    return ports;
}

}  // namespace flextor
