#include "base/files/keep_aside.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace flextor {
namespace {

// Enough free names for any number of damaged files a person would leave.
constexpr int kMaxCandidates = 1000;

enum class Attempt { kKept, kNameTaken, kFailed };

std::string Candidate(const std::string& path, const std::string& suffix, int number) {
    std::string name = path + suffix;
    return number == 1 ? name : name + "-" + std::to_string(number);
}

// Renames path to name unless name exists.
Attempt MoveTo(const std::string& path, const std::string& name) {
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
        return Attempt::kKept;
    }
    return errno == EEXIST ? Attempt::kNameTaken : Attempt::kFailed;
}

Attempt KeepUnder(const std::string& path, const std::string& name) {
    if (link(path.c_str(), name.c_str()) == 0) {
        return Attempt::kKept;
    }
    if (errno == EEXIST) {
        return Attempt::kNameTaken;
    }
    return MoveTo(path, name);
}

}  // namespace

std::optional<std::string> KeepFileAside(const std::string& path, const std::string& suffix) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
    }
    for (int number = 1; number <= kMaxCandidates; ++number) {
        std::string name = Candidate(path, suffix, number);
        Attempt attempt = KeepUnder(path, name);
        if (attempt == Attempt::kKept) {
            return name;
        }
        if (attempt == Attempt::kFailed) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace flextor
