#include "base/files/leftover_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/files/file_io.h"

namespace flextor {
namespace {

// What mkstemp puts in place of XXXXXX.
constexpr size_t kRandomLength = 6;

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

// Removes name from the open folder when it is a regular file (not a link, not a
// folder of that name).
bool RemoveRegularFile(DIR* folder, const char* name) {
    struct stat info {};
    int fd = dirfd(folder);
    if (fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return unlinkat(fd, name, 0) == 0;
}

}  // namespace

bool IsTemporaryName(const std::string& name, const std::string& base_name) {
    const std::string prefix = base_name + kTemporarySuffix;
    if (name.size() != prefix.size() + kRandomLength || !name.starts_with(prefix)) {
        return false;
    }
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!IsLetterOrDigit(name[i])) {
            return false;
        }
    }
    return true;
}

int RemoveLeftoverTemporaries(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder_path = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string base_name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::unique_ptr<DIR, FolderCloser> folder(opendir(folder_path.c_str()));
    if (!folder) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = readdir(folder.get())) {
        if (IsTemporaryName(entry->d_name, base_name) &&
            RemoveRegularFile(folder.get(), entry->d_name)) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace flextor
