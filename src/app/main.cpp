// The program's entry point: reads the command line and hands over to start-up.
#include <iostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/startup/command_line.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    flextor::CommandLine command_line = flextor::ParseCommandLine(args);
    if (command_line.show_help) {
        std::cout << flextor::HelpText();
        return 0;
    }
    if (command_line.show_version) {
        std::cout << flextor::VersionText();
        return 0;
    }
    return flextor::RunApplication(command_line);
}
