// The program's command line: "/CrashFile PATH" resumes a run after a failure,
// --version and --help print and exit, anything else is ignored.
#pragma once

#include <string>
#include <vector>

namespace flextor {

struct CommandLine {
    bool show_version = false;
    bool show_help = false;
    std::string crash_file;  // empty: a fresh start
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);  // args without argv[0]

std::string VersionText();
std::string HelpText();

}  // namespace flextor
