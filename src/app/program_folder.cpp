#include "app/program_folder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace flextor {

std::string ProgramFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::filesystem::path folder = error ? std::filesystem::current_path(error) : exe.parent_path();
    std::string text = folder.string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

bool EnterFolder(const std::string& folder) {
    return chdir(folder.c_str()) == 0;
}

}  // namespace flextor
