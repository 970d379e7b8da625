// The real program started with "/CrashFile": a saved run is taken up in its
// own log file and its file deleted; any other file means a fresh start.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "core/crash/crash_state_json.h"
#include "e2e/running_program.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {
namespace {

using std::chrono::seconds;

constexpr seconds kStartLimit{60};
constexpr seconds kEndLimit{15};

class CrashResumeRun : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Running()) {
            GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
        }
        program = InstallProgram("flextor", dir.path());
    }

    // Runs the program with args until it has configured its pins (and, when
    // log_text is given, logged it), then ends it.
    void RunUntilStarted(const std::vector<std::string>& args, const std::string& log_text = "") {
        RunningProgram run(program, args, {"DISPLAY=" + server.Display(), gpio.EnvironmentEntry()},
                           dir / "output.txt");
        ASSERT_TRUE(run.Started());
        EXPECT_TRUE(WaitUntil(
            [&] {
                return gpio.Value(kDefaultPinTable[0]) != "" &&
                       AllLogs().find(log_text) != std::string::npos;
            },
            kStartLimit))
            << run.Output() << AllLogs();
        run.Signal(SIGTERM);
        EXPECT_TRUE(run.WaitForExit(kEndLimit));
    }

    // The message logs in the folder Log, one after the other.
    std::string AllLogs() const {
        std::string text;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "Log", error)) {
            text += ReadFile(entry.path());
        }
        return text;
    }

    PrivateXServer server;
    TempDir dir;
    FakeGpioFolder gpio;
    std::filesystem::path program;
};

TEST_F(CrashResumeRun, OnlyASavedRunIsTakenUpAndDeleted) {
    WriteFile(dir / "notes.txt", "{не JSON");
    RunUntilStarted({"/CrashFile", (dir / "notes.txt").string()});
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "{не JSON");
    EXPECT_EQ(AllLogs().find("перезапущена"), std::string::npos);

    ProgVarRecord saved;
    saved.LogInfo_FileName = (dir / "Log" / "run.log").string();
    saved.Crash = {1, "Билд: 94; Строка: 7; Файл 'x.cpp'; Ошибка: Abort signal"};
    WriteFile(dir / "Crash.json", FormatCrashStateJson(saved));
    RunUntilStarted({"/CrashFile", (dir / "Crash.json").string()},
                    "Программа была перезапущена. Подробности ошибки; " + saved.Crash.Err);
    EXPECT_FALSE(std::filesystem::exists(dir / "Crash.json"));
    EXPECT_NE(ReadFile(dir / "Log" / "run.log").find("перезапущена"), std::string::npos);
}

}  // namespace
}  // namespace flextor::test
