#include "base/files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/files/unique_fd.h"

namespace flextor {
namespace {

// Reads to the end, but never more than max_bytes + 1 bytes, so that a file that
// grows while it is read is still caught as too large.
ReadOutcome ReadToEnd(int fd, size_t max_bytes, std::string& bytes) {
    char buffer[65536];
    while (true) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) {
            return ReadOutcome::kRead;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadOutcome::kUnreadable;
        }
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > max_bytes) {
            return ReadOutcome::kTooLarge;
        }
    }
}

ReadOutcome ReadOpened(int fd, size_t max_bytes, std::string& bytes) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return ReadOutcome::kUnreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadOutcome::kNotRegular;
    }
    if (static_cast<size_t>(info.st_size) > max_bytes) {
        return ReadOutcome::kTooLarge;
    }
    bytes.reserve(static_cast<size_t>(info.st_size));
    return ReadToEnd(fd, max_bytes, bytes);
}

}  // namespace

ReadOutcome ReadRegularFile(const std::string& path, size_t max_bytes, std::string& bytes) {
    bytes.clear();
    // O_NONBLOCK keeps a FIFO without a writer from holding the open; it has no
    // effect on reading a regular file.
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
    }
    ReadOutcome outcome = ReadOpened(fd.Get(), max_bytes, bytes);
    if (outcome != ReadOutcome::kRead) {
        bytes.clear();
    }
    return outcome;
}

}  // namespace flextor
