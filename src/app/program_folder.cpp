#include "app/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace flextor {
namespace {

std::string WithFinalSlash(std::string text) {
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

std::string ExecutableFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::filesystem::path folder = error ? std::filesystem::current_path(error) : exe.parent_path();
    return WithFinalSlash(folder.string());
}

}  // namespace

ProgramFolderChoice ChooseProgramFolder() {
    const char* home = std::getenv(kProgramHomeVariable);
    if (home == nullptr || *home == '\0') {
        return {ExecutableFolder(), ""};
    }
    const std::filesystem::path path(home);
    const std::string name = std::string(kProgramHomeVariable) + "=" + home;
    if (!path.is_absolute()) {
        return {"", name + " is not an absolute path"};
    }
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error || !std::filesystem::is_directory(path, error)) {
        return {"", name + ": cannot create the folder (" + error.message() + ")"};
    }
    return {WithFinalSlash(path.string()), ""};
}

std::string ProgramFolder() {
    return ChooseProgramFolder().folder;
}

bool EnterFolder(const std::string& folder) {
    return chdir(folder.c_str()) == 0;
}

}  // namespace flextor
