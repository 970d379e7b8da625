#include <gtest/gtest.h>

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

}  // namespace
}  // namespace flextor::test
