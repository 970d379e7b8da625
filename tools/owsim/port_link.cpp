#include "owsim/port_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace flextor::owsim {
namespace {

std::string LinkTarget(const std::string& path) {
    char target[4096];
    ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    return n < 0 ? std::string() : std::string(target, static_cast<std::size_t>(n));
}

}  // namespace

bool PortLink::Create(const std::string& path, const std::string& target, std::string* error) {
    Remove();
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            *error = path + " exists and is not a symbolic link";
            return false;
        }
        unlink(path.c_str());
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}

void PortLink::Remove() {
    if (!path_.empty() && LinkTarget(path_) == target_) {
        unlink(path_.c_str());
    }
    path_.clear();
    target_.clear();
}

std::string PortLink::PortName() const {
    const std::string dev = "/dev/";
    return path_.starts_with(dev) ? path_.substr(dev.size()) : std::string();
}

}  // namespace flextor::owsim
