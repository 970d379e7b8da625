// The README's way in on a machine without a display: the start script puts the
// window on GTK's Broadway backend, and a real browser (headless Chromium) shows
// the main window. Ending the script ends the program and the simulated plant.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "e2e/running_program.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;

// The first executable of this name on the PATH; empty when none.
fs::path OnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// The widest visible surface Broadway's page has drawn, in pixels; 0 when none.
int WidestVisibleSurface(const std::string& dom) {
    static const std::regex canvas(R"re(<canvas width="(\d+)"[^>]*visibility: visible)re");
    int widest = 0;
    for (std::sregex_iterator it(dom.begin(), dom.end(), canvas), end; it != end; ++it) {
        widest = std::max(widest, std::stoi((*it)[1].str()));
    }
    return widest;
}

TEST(BroadwayRun, WithoutADisplayTheMainWindowIsShownInABrowser) {
    const fs::path chromium = OnPath("chromium");
    if (chromium.empty() || OnPath("broadwayd").empty()) {
        GTEST_SKIP() << "chromium or broadwayd is not installed (scripts/setup.sh installs both)";
    }
    TempDir dir;
    FakeGpioFolder gpio;
    RunningProgram script(fs::path(FLEXTOR_SOURCE_DIR) / "scripts" / "start_in_folder.sh",
                          {FLEXTOR_BINARY_DIR, (dir / "run").string()},
                          {"DISPLAY=", "WAYLAND_DISPLAY=", "FLEXTOR_SIMULATE=1",
                           "FLEXTOR_PLANT_LINK=", gpio.EnvironmentEntry()},
                          dir / "script.txt");
    ASSERT_TRUE(script.Started());
    static const std::regex address(R"(open (http://127\.0\.0\.1:\d+/) in a browser)");
    std::smatch found;
    std::string output;
    ASSERT_TRUE(WaitUntil(
        [&] {
            output = script.Output();
            return std::regex_search(output, found, address) && fs::exists(dir / "run" / "Log");
        },
        std::chrono::seconds(60)))
        << output;
    const std::string url = found[1].str();

    // The page draws the window once its script has connected and the program has shown
    // it, which a loaded machine may take a while to do: looked at until a minute has passed.
    int widest = 0;
    RunResult page;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (widest < 1004 && std::chrono::steady_clock::now() < deadline) {
        page =
            RunProgram(chromium,
                       {"--headless=new", "--no-sandbox", "--disable-gpu",
                        "--user-data-dir=" + (dir / "chromium").string(), "--window-size=1280,1024",
                        "--virtual-time-budget=5000", "--dump-dom", url},
                       {}, 60000);
        widest = WidestVisibleSurface(page.output);
    }
    EXPECT_GE(widest, 1004) << page.output;  // the main window is 1004 pixels wide

    ASSERT_TRUE(script.Signal(SIGTERM));
    ASSERT_TRUE(script.WaitForExit(std::chrono::seconds(15))) << script.Output();
    EXPECT_EQ(script.ExitCode(), 0) << script.Output();
    EXPECT_EQ(gpio.Value(17), "0");
    EXPECT_EQ(script.Output().find("сторож выходов"), std::string::npos)
        << "the outputs guard runs beside the program: " << script.Output();
    // The plant removes its control socket as it ends.
    EXPECT_FALSE(fs::exists(dir / "run" / "owsim.sock")) << script.Output();
}

}  // namespace
}  // namespace flextor::test
