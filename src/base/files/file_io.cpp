#include "base/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/files/unique_fd.h"

namespace flextor {
namespace {

BeforeRenameHook before_rename_hook = nullptr;

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable.
void SyncFolder(const std::string& folder) {
    UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        fsync(fd.Get());
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, unsigned mode) {
    std::string temporary = path + ".tmp-XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp made it 0600; fchmod is not masked by the umask.
    bool written = fchmod(fd, static_cast<mode_t>(mode & 07777)) == 0;
    written = written && WriteAll(fd, bytes) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && before_rename_hook != nullptr) {
        written = before_rename_hook(temporary);
    }
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool ReadFileMode(const std::string& path, unsigned& mode) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return false;
    }
    mode = static_cast<unsigned>(info.st_mode) & 07777U;
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || IsFolder(path);
}

bool AppendToFile(const std::string& path, const std::string& bytes, const std::string& header) {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd.Valid()) {
        return false;
    }
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0) {
        return false;
    }
    // One write, so that a line is never split by a concurrent writer.
    if (WriteAll(fd.Get(), info.st_size == 0 ? header + bytes : bytes)) {
        return close(fd.Release()) == 0;
    }
    // A part went in (a full disk, a size limit): cut it off again, so the next
    // line starts where a whole line ended. The append has failed either way.
    while (ftruncate(fd.Get(), info.st_size) != 0 && errno == EINTR) {
    }
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return false;
    }
    bytes.clear();
    char buffer[8192];
    ssize_t n;
    while ((n = read(fd.Get(), buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            bytes.append(buffer, static_cast<size_t>(n));
        }
    }
    return n == 0;
}

void SetBeforeRenameHook(BeforeRenameHook hook) {
    before_rename_hook = hook;
}

}  // namespace flextor
