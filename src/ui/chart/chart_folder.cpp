// Folder names and creation for exported pages.
#include "ui/chart/chart_folder.h"

#include <algorithm>

#include "base/files/file_io.h"

namespace flextor {

std::string ChartSaveFolder(const std::string& program_folder, const LocalTime& started_at) {
    return program_folder + "График/" + FormatFileStamp(started_at) + "/";
}

bool MakeFolderTree(const std::string& path) {
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (IsFolder(slashed)) {
        return true;
    }
    size_t end = slashed.find('/');
    std::string prefix = slashed.substr(0, end) + "/";
    if (prefix != "/" && !IsFolder(prefix) && !MakeFolder(prefix)) {
        return false;
    }
    while (end != std::string::npos) {
        const size_t start = end + 1;
        end = slashed.find('/', start);
        const std::string component = slashed.substr(start, end - start);
        if (component.empty()) {
            continue;
        }
        prefix += component + "/";
        if (!IsFolder(prefix) && !MakeFolder(prefix)) {
            return false;
        }
    }
    return IsFolder(slashed);
}

}  // namespace flextor
