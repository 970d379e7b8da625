#include <gtest/gtest.h>

#include <chrono>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

TEST(ProgramCommandLine, VersionAndHelpPrintAndExitWithoutWindow) {
    TempDir dir;
    auto program = InstallProgram("flextor", dir.path());

    RunResult version = RunProgram(program, {"--version"}, {"DISPLAY="});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "flextor 1.0 (сборка 94)\n");

    RunResult help = RunProgram(program, {"--help"}, {"DISPLAY="});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("/CrashFile"), std::string::npos);
    EXPECT_NE(help.output.find("FLEXTOR_GPIO_ROOT"), std::string::npos);
}

// Set wrong, the variables of the installed launcher end the start with a clear
// message before any window or file.
TEST(ProgramCommandLine, BadLauncherVariablesAreNamedAndEndTheStart) {
    struct Case {
        std::string entry;
        std::string message;
    };
    const Case cases[] = {
        {"FLEXTOR_HOME=relative/folder", "FLEXTOR_HOME=relative/folder is not an absolute path"},
        {"FLEXTOR_DISPLAY_WAIT=30s", "FLEXTOR_DISPLAY_WAIT=30s: expected whole seconds"},
        {"FLEXTOR_DISPLAY_WAIT=601", "FLEXTOR_DISPLAY_WAIT=601: expected whole seconds"},
        {"FLEXTOR_DISPLAY_WAIT=-1", "FLEXTOR_DISPLAY_WAIT=-1: expected whole seconds"},
    };
    TempDir dir;
    auto program = InstallProgram("flextor", dir.path());
    for (const Case& c : cases) {
        RunResult run = RunProgram(program, {}, {"DISPLAY=", c.entry});
        EXPECT_EQ(run.exit_code, 1) << c.entry;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

// Started at login before the desktop is up: it keeps trying for the time the
// launcher gives, then says how long it waited.
TEST(ProgramCommandLine, WaitsForTheDisplayAsLongAsToldThenGivesUp) {
    TempDir dir;
    auto program = InstallProgram("flextor", dir.path());
    const auto start = std::chrono::steady_clock::now();
    RunResult run = RunProgram(program, {}, {"DISPLAY=:4093", "FLEXTOR_DISPLAY_WAIT=2"});
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.output, "flextor: cannot open the display (waited 2 s)\n");
    EXPECT_GE(waited, std::chrono::seconds(2));
}

}  // namespace
}  // namespace flextor::test
