// The Debian package as a user gets it: unpacked with dpkg-deb, its menu entry
// checked with desktop-file-validate, its launcher started with a home of its
// own on a simulated bus. FLEXTOR_PACKAGE names the package (scripts/test.sh
// builds it with scripts/package.sh); without it these tests are skipped. With
// FLEXTOR_PACKAGE_ROOT the launcher is the one installed there with the
// package's dependencies, for a Pi's architecture under an emulator
// (scripts/package_start.sh).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "core/state/program_state.h"
#include "core/version.h"
#include "e2e/running_program.h"
#include "e2e/x_display.h"
#include "owsim/sim_bus.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// Under an emulator the program takes many times as long to start.
constexpr seconds kStartLimit{180};
constexpr seconds kEndLimit{15};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A user's environment without the XDG folders and the program's own
// variables, so that the launcher's defaults decide.
std::vector<std::string> UserEnvironment(const TempDir& home) {
    return {"HOME=" + home.str(),
            "XDG_DATA_HOME=", "XDG_CONFIG_HOME=", "FLEXTOR_HOME=", "FLEXTOR_DISPLAY_WAIT="};
}

RunResult ValidateDesktopEntry(const fs::path& entry) {
    return RunProgram("/usr/bin/desktop-file-validate", {entry.string()});
}

class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* package = std::getenv("FLEXTOR_PACKAGE");
        if (package == nullptr || *package == '\0') {
            GTEST_SKIP() << "FLEXTOR_PACKAGE names no package (scripts/test.sh builds one)";
        }
        const char* installed = std::getenv("FLEXTOR_PACKAGE_ROOT");
        if (installed != nullptr && *installed != '\0') {
            root = installed;
        } else {
            RunResult unpack = RunProgram("/usr/bin/dpkg-deb", {"-x", package, unpacked.str()});
            ASSERT_EQ(unpack.exit_code, 0) << unpack.output;
            root = unpacked.path();
        }
        launcher = root / "usr/bin/flextor";
    }

    TempDir unpacked;
    fs::path root;
    TempDir home;
    fs::path launcher;
};

TEST_F(PackageTest, HoldsTheProgramItsToolsMenuEntryIconRuleAndReadme) {
    const char* const files[] = {
        "usr/bin/flextor",
        "usr/lib/flextor/flextor",
        "usr/lib/flextor/outputs-guard",
        "usr/bin/flextor-onewire",
        "usr/bin/flextor-owsim",
        "usr/bin/flextor-plant",
        "usr/share/flextor/scenarios/demo.json",
        "usr/share/applications/flextor.desktop",
        "usr/share/icons/hicolor/scalable/apps/flextor.svg",
        "usr/lib/udev/rules.d/60-flextor-ftdi-latency.rules",
    };
    for (const char* file : files) {
        EXPECT_TRUE(fs::is_regular_file(root / file)) << file;
    }
    const fs::path doc = root / "usr/share/doc/flextor";
    EXPECT_TRUE(fs::exists(doc / "README.md") || fs::exists(doc / "README.md.gz"));

    const fs::path entry = root / "usr/share/applications/flextor.desktop";
    RunResult valid = ValidateDesktopEntry(entry);
    EXPECT_EQ(valid.exit_code, 0) << valid.output;
    EXPECT_EQ(valid.output, "");
    const std::string text = ReadFile(entry);
    EXPECT_TRUE(Contains(text, "\nName=Флекстор\n")) << text;
    EXPECT_TRUE(Contains(text, "\nComment[ru]=")) << text;
    EXPECT_TRUE(Contains(text, "\nExec=flextor\n")) << text;
}

TEST_F(PackageTest, AutostartEntryIsAddedAndRemovedForTheUserOnly) {
    const fs::path entry = home / ".config/autostart/flextor.desktop";

    RunResult on = RunProgram(launcher, {"--autostart", "on"}, UserEnvironment(home));
    EXPECT_EQ(on.exit_code, 0) << on.output;
    ASSERT_TRUE(fs::is_regular_file(entry)) << on.output;
    const std::string text = ReadFile(entry);
    EXPECT_TRUE(Contains(text, "\nExec=" + fs::canonical(launcher).string() + "\n")) << text;
    RunResult valid = ValidateDesktopEntry(entry);
    EXPECT_EQ(valid.exit_code, 0) << valid.output;
    EXPECT_EQ(valid.output, "");

    RunResult off = RunProgram(launcher, {"--autostart", "off"}, UserEnvironment(home));
    EXPECT_EQ(off.exit_code, 0) << off.output;
    EXPECT_FALSE(fs::exists(entry));

    RunResult wrong = RunProgram(launcher, {"--autostart", "yes"}, UserEnvironment(home));
    EXPECT_EQ(wrong.exit_code, 2);
    EXPECT_TRUE(Contains(wrong.output, "usage: flextor --autostart on|off")) << wrong.output;
}

// The unpacked launcher on a simulated bus: the program comes up, reads its
// sensors and keeps Setting.ini and its logs in the user's own folder, leaving
// its executable's folder as it was.
TEST_F(PackageTest, LauncherRunsTheProgramInAFolderOfTheUsersOwn) {
    PrivateXServer server;
    if (!server.Running()) {
        GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
    }
    FakeGpioFolder gpio;
    owsim::SimBus bus;
    ASSERT_TRUE(bus.Start());
    std::vector<owsim::RomCode> roles;
    std::string settings =
        "\xEF\xBB\xBF\n[Sensor]\nPortName = " + bus.PortName() + "\nSerial = 0\nSensorsCount = 6\n";
    for (int role = 1; role <= 6; ++role) {
        roles.push_back(bus.AddSensor(0x28, 0xB0C000 + role, 200 + role));
        int64_t id = 0;
        std::memcpy(&id, roles.back().data(), sizeof id);
        settings += "ID_" + std::to_string(role) + " = " + std::to_string(id) + "\nUse_" +
                    std::to_string(role) + " = " + std::to_string(role) + "\n";
    }
    const fs::path folder = home / ".local/share/flextor";
    fs::create_directories(folder);
    WriteFile(folder / "Setting.ini", settings);
    AnswerRelayBoardQuestion(folder);

    std::vector<std::string> env = UserEnvironment(home);
    env.push_back("DISPLAY=" + server.Display());
    env.push_back(gpio.EnvironmentEntry());
    RunningProgram run(launcher, {}, env, home / "output.txt");
    ASSERT_TRUE(run.Started());
    // Its window shows what it reads.
    XDisplay x(server.Display());
    ASSERT_TRUE(!XLibrariesBuiltIn() || x.Open());
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (XLibrariesBuiltIn() && x.FindWindow(kMainWindowTitle, 1004) == 0) {
                return false;
            }
            for (const owsim::RomCode& rom : roles) {
                if (bus.Reads(rom) < 2) {
                    return false;
                }
            }
            std::error_code error;
            return !fs::is_empty(folder / "Log", error) && !error;
        },
        kStartLimit))
        << run.Output();
    EXPECT_TRUE(fs::is_directory(folder / "Log"));
    EXPECT_FALSE(fs::is_empty(folder / "Log"));
    EXPECT_EQ(gpio.Direction(kDefaultPinTable[0]), "out");

    ASSERT_TRUE(run.Signal(SIGTERM));
    ASSERT_TRUE(run.WaitForExit(kEndLimit)) << "still running after SIGTERM";
    EXPECT_EQ(run.ExitCode(), 0) << run.Output();
    // The executable and its outputs guard alone.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(root / "usr/lib/flextor"), fs::directory_iterator()),
        2);
}

}  // namespace
}  // namespace flextor::test
