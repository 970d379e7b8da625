// Appending one line to a text log file: the message log and the temperature log
// both keep their files this way. Missing folders are made on the way.
#include <algorithm>
#include <string>

#include "base/files/file_io.h"
#include "core/log/message_log.h"

namespace flextor {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// Makes every folder of path that is missing, walking from its second field on:
// the first only starts the prefix ("" for an absolute path, so "/"), the last is
// the file's own name, and a doubled "/" adds no folder.
bool MakeFoldersOf(const std::string& path) {
    size_t slash = path.find('/');
    while (slash != std::string::npos) {
        size_t next = path.find('/', slash + 1);
        if (next != std::string::npos && next > slash + 1) {
            std::string folder = path.substr(0, next + 1);
            if (!IsFolder(folder) && !MakeFolder(folder)) {
                return false;
            }
        }
        slash = next;
    }
    return true;
}

std::string FolderPart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

// GUI thread (the message log and the temperature log both run there).
bool AppendLogLine(const std::string& path, const std::string& line) {
    if (path.empty()) {
        return false;
    }
    std::string file = path;
    std::replace(file.begin(), file.end(), '\\', '/');
    if (!IsFolder(FolderPart(file)) && !MakeFoldersOf(file)) {
        return false;
    }
    return AppendToFile(file, line + "\n", kByteOrderMark);
}

}  // namespace flextor
