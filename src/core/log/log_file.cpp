// Appending one line to a text log file: the message log and the temperature log
// both keep their files this way. Missing folders are made on the way.
#include <algorithm>
#include <string>
#include <vector>

#include "core/log/message_log.h"
#include "platform/files/file_io.h"

namespace flextor {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::vector<std::string> SplitAtSlashes(const std::string& path) {
    std::vector<std::string> fields(1);
    for (char c : path) {
        if (c == '/') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Makes every folder of path that is missing, walking from the first field. The
// first field only starts the prefix ("" for an absolute path, so "/"), the last
// is the file's own name, and empty fields (a doubled "/") are skipped.
bool MakeFoldersOf(const std::string& path) {
    std::vector<std::string> fields = SplitAtSlashes(path);
    std::string prefix = fields.front() + "/";
    for (size_t i = 1; i + 1 < fields.size(); ++i) {
        if (fields[i].empty()) {
            continue;
        }
        prefix += fields[i] + "/";
        if (!IsFolder(prefix) && !MakeFolder(prefix)) {
            return false;
        }
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
