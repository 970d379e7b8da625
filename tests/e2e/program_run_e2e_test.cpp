// The real program, copied into a folder of its own, started on the test's X
// display with a folder of files for its GPIO pins: start-up, its sensors on a
// simulated bus, and the ways it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

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

using std::chrono::milliseconds;
using std::chrono::seconds;

// Generous: the machine running the tests is shared.
constexpr seconds kStartLimit{60};
constexpr seconds kEndLimit{15};

constexpr uint16_t kPulsePin = 4;  // toggles on its own while the program runs
constexpr uint16_t kColumn1RunPin = 17;
constexpr uint16_t kColumn2RunPin = 11;
constexpr uint16_t kColumn3LowerPin = 8;
constexpr uint16_t kAlarmPin = 23;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string AllPinNames() {
    std::string list;
    for (uint16_t pin : kDefaultPinTable) {
        list += (list.empty() ? "GPIO" : ", GPIO") + std::to_string(pin);
    }
    return list;
}

// The run's message log in folder (beside it, the temperature log "Termo_...").
std::string ReadMessageLog(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!entry.path().filename().string().starts_with("Termo_")) {
            return ReadFile(entry.path());
        }
    }
    return "";
}

int64_t IdOf(const owsim::RomCode& rom) {
    int64_t id = 0;
    std::memcpy(&id, rom.data(), sizeof id);
    return id;
}

class ProgramRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Running()) {
            GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
        }
        program = InstallProgram("flextor", dir.path());
        for (uint16_t pin : kDefaultPinTable) {
            WriteFile(gpio.PinFolder(pin) / "value", "1");
        }
    }

    // The program on an X server of the test's own, so that the suite needs no
    // display of its own and nothing it clicks lands in another window.
    std::unique_ptr<RunningProgram> Start(std::vector<std::string> env = {}) {
        env.push_back("DISPLAY=" + server.Display());
        env.push_back(gpio.EnvironmentEntry());
        return std::make_unique<RunningProgram>(program, std::vector<std::string>{}, env,
                                                dir / "output.txt");
    }

    // Six sensors on the simulated bus with roles 1 to 6 and one without a role,
    // the port in Setting.ini.
    void PrepareSimulatedPlant() {
        ASSERT_TRUE(bus.Start());
        // Sensor 6 above its threshold, so that its output stays off.
        const int tenths[6] = {245, 312, 785, 924, 287, 620};
        std::string sensors;
        for (int role = 1; role <= 6; ++role) {
            owsim::RomCode rom = bus.AddSensor(0x28, 0xA1B000 + role, tenths[role - 1]);
            roles.push_back(rom);
            sensors += "ID_" + std::to_string(role) + " = " + std::to_string(IdOf(rom)) + "\n" +
                       "Use_" + std::to_string(role) + " = " + std::to_string(role) + "\n";
        }
        spare = bus.AddSensor(0x28, 0xA1B0FF, 200);
        settings_text = "\xEF\xBB\xBF\n[Sensor]\nPortName = " + bus.PortName() +
                        "\nSerial = 0\nSensorsCount = 6\n" + sensors;
        WriteFile(dir / "Setting.ini", settings_text);
    }

    bool PinsConfigured() const {
        for (uint16_t pin : kDefaultPinTable) {
            if (gpio.Direction(pin) != "out") {
                return false;
            }
        }
        return true;
    }

    // Every output low; while the program runs the pulsing line may be high.
    bool OutputsLow(bool running) const {
        for (uint16_t pin : kDefaultPinTable) {
            if (gpio.Value(pin) != "0" && !(running && pin == kPulsePin)) {
                return false;
            }
        }
        return true;
    }

    std::string MessageLog() const { return ReadMessageLog(dir / "Log"); }

    // Starts column 1 with the window's "Пуск" once its sensors are read; the
    // window's id, or 0.
    unsigned long StartColumn1(RunningProgram& run, XDisplay& x) {
        unsigned long window = 0;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return (window = x.FindWindow(kMainWindowTitle, 1004)) != 0 ||
                       run.WaitForExit(milliseconds(0));
            },
            kStartLimit))
            << run.Output();
        if (window == 0 || !WaitUntil([&] { return bus.Reads(roles[2]) >= 2; }, kStartLimit)) {
            return 0;
        }
        // (the panels begin below the menu bar)
        EXPECT_TRUE(x.Click(window, 64, 394));
        EXPECT_TRUE(WaitUntil([&] { return gpio.Value(kColumn1RunPin) == "1"; }, kStartLimit))
            << MessageLog();
        return window;
    }

    PrivateXServer server;
    TempDir dir;
    FakeGpioFolder gpio;
    owsim::SimBus bus;
    std::filesystem::path program;
    std::string settings_text;
    std::vector<owsim::RomCode> roles;
    owsim::RomCode spare{};
};

// A first start (no Options.ini) asks about the relay board before a pin is
// exported and touches none while it waits. Answered "low level", the answer is
// kept and every output is made inactive the way such a board needs; closed
// unanswered, the program ends as it found the pins and asks again next time.
TEST_F(ProgramRunTest, AFirstStartAsksAboutTheRelayBoardBeforeAnyPinIsTouched) {
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    XDisplay x(server.Display());
    ASSERT_TRUE(x.Open());
    PrepareSimulatedPlant();
    for (const bool answered : {false, true}) {
        SCOPED_TRACE(answered ? "answered" : "closed");
        std::filesystem::remove(dir / "Options.ini");
        auto run = Start();
        unsigned long question = 0;
        ASSERT_TRUE(WaitUntil(
            [&] { return (question = x.FindWindow("Первый запуск: модуль реле", 520)) != 0; },
            kStartLimit))
            << run->Output();
        std::this_thread::sleep_for(milliseconds(1500));
        EXPECT_EQ(gpio.Exported(), "");
        for (uint16_t pin : kDefaultPinTable) {
            EXPECT_EQ(gpio.Direction(pin), "") << pin;
            EXPECT_EQ(gpio.Value(pin), "1") << pin;
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "Options.ini"));
        if (!answered) {
            ASSERT_TRUE(x.RequestClose(question));
            ASSERT_TRUE(run->WaitForExit(kEndLimit)) << "still running after the close";
            EXPECT_EQ(gpio.Exported(), "");
            EXPECT_EQ(gpio.Direction(kColumn1RunPin), "");
            EXPECT_FALSE(std::filesystem::exists(dir / "Options.ini"));
            continue;
        }
        ASSERT_TRUE(x.Click(question, 260, 186));  // "Реле включаются низким уровнем"
        // Every pin set up, read only then: a file being written reads empty.
        ASSERT_TRUE(WaitUntil(
            [&] {
                return std::ranges::all_of(
                    kDefaultPinTable, [&](uint16_t pin) { return gpio.Direction(pin) == "high"; });
            },
            kStartLimit))
            << run->Output();
        EXPECT_TRUE(Contains(ReadFile(dir / "Options.ini"), "\nActiveLow = 1\n"));
        for (uint16_t pin : kDefaultPinTable) {
            EXPECT_EQ(ReadFile(gpio.PinFolder(pin) / "active_low"), "1") << pin;
            EXPECT_EQ(gpio.Direction(pin), "high") << pin;
        }
        ASSERT_TRUE(run->Signal(SIGTERM));
        ASSERT_TRUE(run->WaitForExit(kEndLimit));
        EXPECT_EQ(run->ExitCode(), 0) << run->Output();
        EXPECT_TRUE(OutputsLow(false));
    }
}

TEST_F(ProgramRunTest, PinDirectionsThatNeverAppearEndTheStartWithTheListOfEveryPin) {
    for (uint16_t pin : kDefaultPinTable) {
        gpio.RemovePin(pin);
    }
    auto run = Start();
    ASSERT_TRUE(run->Started());
    const std::string message = "Ошибка конфигурации " + AllPinNames();
    // The text is printed before the error box opens; a termination signal closes
    // the box as it would close any modal box.
    ASSERT_TRUE(WaitUntil([&] { return Contains(run->Output(), message); }, kStartLimit))
        << run->Output();
    run->Signal(SIGTERM);
    ASSERT_TRUE(run->WaitForExit(kEndLimit));
    EXPECT_EQ(run->ExitCode(), 1);

    EXPECT_TRUE(Contains(MessageLog(), "]  " + message + "\n")) << MessageLog();
    EXPECT_EQ(gpio.Exported(), AllPinNumbers());
    EXPECT_EQ(gpio.Unexported(), AllPinNumbers());
}

TEST_F(ProgramRunTest, ReadsItsSensorsAndOnSigtermDrivesOutputsLowAndEnds) {
    PrepareSimulatedPlant();
    auto run = Start();
    ASSERT_TRUE(run->Started());

    // The polling thread reads the six sensors with a role, again and again, and
    // leaves the one without a role alone.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const owsim::RomCode& rom : roles) {
                if (bus.Reads(rom) < 3) {
                    return false;
                }
            }
            return true;
        },
        kStartLimit))
        << run->Output();
    EXPECT_EQ(bus.Reads(spare), 0);
    EXPECT_EQ(bus.Converts(spare), 0);
    EXPECT_FALSE(Contains(MessageLog(), "Не удалось открыть порт")) << MessageLog();
    EXPECT_TRUE(PinsConfigured());
    EXPECT_TRUE(OutputsLow(true));

    ASSERT_TRUE(run->Signal(SIGTERM));
    ASSERT_TRUE(run->WaitForExit(kEndLimit)) << "still running after SIGTERM";
    EXPECT_EQ(run->ExitCode(), 0) << run->Output();
    EXPECT_TRUE(OutputsLow(false));
    EXPECT_EQ(gpio.Unexported(), AllPinNumbers());
    // Nothing was changed, so nothing was saved.
    EXPECT_EQ(ReadFile(dir / "Setting.ini"), settings_text);
}

// What a person does: starts column 1 from the window, watches its run line go
// high, edits a threshold and closes the window at once.
TEST_F(ProgramRunTest, ClosingTheWindowWhileColumn1RunsDrivesItLowAndSavesTheThreshold) {
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    XDisplay x(server.Display());
    ASSERT_TRUE(x.Open());
    PrepareSimulatedPlant();
    auto run = Start();
    ASSERT_TRUE(run->Started());
    const unsigned long window = StartColumn1(*run, x);
    ASSERT_NE(window, 0u) << run->Output();
    EXPECT_TRUE(Contains(MessageLog(), "]  Начата работа колонки 1 (Ректификация)\n"));

    // Into the TSA threshold (90.0 by default), then one step up.
    ASSERT_TRUE(x.Click(window, 405, 42));
    ASSERT_TRUE(x.PressKey("Up"));
    std::this_thread::sleep_for(milliseconds(500));
    // Still within the ten seconds after which a change saves itself.
    ASSERT_EQ(ReadFile(dir / "Setting.ini"), settings_text);
    ASSERT_TRUE(x.RequestClose(window));

    ASSERT_TRUE(run->WaitForExit(kEndLimit)) << "still running after the close";
    EXPECT_EQ(run->ExitCode(), 0) << run->Output();
    EXPECT_TRUE(OutputsLow(false));
    EXPECT_EQ(gpio.Unexported(), AllPinNumbers());
    const std::string saved = ReadFile(dir / "Setting.ini");
    EXPECT_TRUE(Contains(saved, "\nd1_Limit = 901\n")) << saved;
    EXPECT_TRUE(Contains(saved, "\nPortName = " + bus.PortName() + "\n")) << saved;
}

// A desktop session restarted or a remote display dropped: the toolkit ends the
// process at once, and the heaters must not stay on with nothing watching them.
TEST_F(ProgramRunTest, LosingTheDisplayWhileColumn1RunsDrivesEveryOutputLow) {
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    PrepareSimulatedPlant();
    auto run = Start();
    ASSERT_TRUE(run->Started());
    {
        XDisplay x(server.Display());
        ASSERT_TRUE(x.Open());
        ASSERT_NE(StartColumn1(*run, x), 0u) << run->Output();
    }
    server.Kill();

    ASSERT_TRUE(run->WaitForExit(kEndLimit)) << "still running without its display";
    EXPECT_TRUE(OutputsLow(false)) << run->Output();
    EXPECT_EQ(gpio.Unexported(), AllPinNumbers());
    EXPECT_TRUE(Contains(MessageLog(), "(потеряно соединение с дисплеем): все выходы выключены."))
        << MessageLog();
}

// The condenser heated past its threshold while all three columns run: columns 1
// and 2 stop and their lines go low, the alarm line goes high, and column 3
// keeps holding its band.
TEST_F(ProgramRunTest, HotCondenserLatchesTheAlarmAndColumn3KeepsItsBand) {
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    PrepareSimulatedPlant();
    // The condenser will jump from 24 to 95 °C between two readings: hot vapour on
    // a bare sensor. The step check takes it at once, as it makes the plant safer.
    ASSERT_TRUE(bus.SetTemperature(roles[1], 240));
    ASSERT_TRUE(bus.SetTemperature(roles[3], 500));  // the still below its threshold
    auto run = Start();
    ASSERT_TRUE(run->Started());
    XDisplay x(server.Display());
    ASSERT_TRUE(x.Open());
    const unsigned long window = StartColumn1(*run, x);
    ASSERT_NE(window, 0u) << run->Output();
    ASSERT_TRUE(x.Click(window, 120, 506));  // column 2 "Пуск"
    ASSERT_TRUE(x.Click(window, 122, 654));  // column 3 "Пуск"
    ASSERT_TRUE(WaitUntil(
        [&] { return gpio.Value(kColumn2RunPin) == "1" && gpio.Value(kColumn3LowerPin) == "1"; },
        kStartLimit))
        << MessageLog();

    const int reads = bus.Reads(roles[1]);
    ASSERT_TRUE(bus.SetTemperature(roles[1], 950));
    ASSERT_TRUE(WaitUntil([&] { return gpio.Value(kAlarmPin) == "1"; }, kStartLimit))
        << MessageLog();
    EXPECT_LE(bus.Reads(roles[1]), reads + 2);  // the first hot reading latched it
    EXPECT_EQ(gpio.Value(kColumn1RunPin), "0");
    EXPECT_EQ(gpio.Value(kColumn2RunPin), "0");
    EXPECT_EQ(gpio.Value(kColumn3LowerPin), "1");
    EXPECT_TRUE(Contains(MessageLog(),
                         "]  Превышение порога датчика 2 (ав. Конденсатор)! "
                         "Температура 95.0  Порог 90.0\n"))
        << MessageLog();
    EXPECT_FALSE(Contains(MessageLog(), "Скачки показаний")) << MessageLog();

    ASSERT_TRUE(run->Signal(SIGTERM));
    ASSERT_TRUE(run->WaitForExit(kEndLimit));
    EXPECT_TRUE(OutputsLow(false));
}

// The wall clock starts 150 s before midnight and runs five times as fast: the
// day gathers its samples, the new day's first second hands them to the export,
// and the chart's pages land in a folder dated with the new day. A day is saved
// only with more than 59 samples, one per second the chart tick sees: the start
// of the program and a loaded machine's late ticks cost seconds, so the day is
// given two and a half times that, and the tick (every 100 ms) sees each second
// at up to twice its period.
constexpr seconds kMidnightLimit{120};
TEST_F(ProgramRunTest, MidnightSavesTheDaysChartInAFolderOfTheNewDay) {
    const std::string faketime = FakeTimeLibrary();
    if (faketime.empty()) {
        GTEST_SKIP() << "libfaketime is not installed";
    }
    auto run = Start(
        {"LD_PRELOAD=" + faketime, "FAKETIME=@2026-12-07 23:57:30 x5", "DONT_FAKE_MONOTONIC=1"});
    ASSERT_TRUE(run->Started());
    std::filesystem::path page;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::error_code error;
            for (const auto& folder : std::filesystem::directory_iterator(dir / "График", error)) {
                page = folder.path() / "1.png";
                if (Contains(MessageLog(), "Сохранение графика завершено")) {
                    return true;
                }
            }
            return false;
        },
        kMidnightLimit))
        << MessageLog() << run->Output();
    EXPECT_TRUE(page.parent_path().filename().string().starts_with("08_12_2026__00_00_")) << page;
    EXPECT_TRUE(std::filesystem::exists(page)) << page;
    EXPECT_TRUE(Contains(MessageLog(), "]  Начато сохранение графика\n"));
    EXPECT_TRUE(Contains(MessageLog(), "]  График успешно сохранен в файле 1.png\n"));
    ASSERT_TRUE(run->Signal(SIGTERM));
    ASSERT_TRUE(run->WaitForExit(kEndLimit));
    EXPECT_EQ(run->ExitCode(), 0) << run->Output();
}

// The menu item "Датчики" opens the sensors window; its close button closes it
// as Cancel does, and the settings file stays as it was.
TEST_F(ProgramRunTest, SensorsMenuOpensTheSensorsWindowAndItsCloseButtonCancels) {
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    XDisplay x(server.Display());
    ASSERT_TRUE(x.Open());
    PrepareSimulatedPlant();
    auto run = Start();
    ASSERT_TRUE(run->Started());
    unsigned long main_window = 0;
    ASSERT_TRUE(WaitUntil([&] { return (main_window = x.FindWindow(kMainWindowTitle, 1004)) != 0; },
                          kStartLimit))
        << run->Output();
    ASSERT_TRUE(x.Click(main_window, 30, 10));  // "Настройки"
    ASSERT_TRUE(x.PressKey("Down") && x.PressKey("Down") && x.PressKey("Return"));
    unsigned long sensors = 0;
    ASSERT_TRUE(WaitUntil(
        [&] { return (sensors = x.FindWindow("Настройки датчиков температуры", 560)) != 0; },
        kStartLimit))
        << MessageLog();
    ASSERT_TRUE(x.RequestClose(sensors));
    EXPECT_TRUE(WaitUntil([&] { return x.FindWindow("Настройки датчиков температуры", 560) == 0; },
                          kStartLimit));
    ASSERT_TRUE(x.RequestClose(main_window));
    ASSERT_TRUE(run->WaitForExit(kEndLimit));
    EXPECT_EQ(run->ExitCode(), 0) << run->Output();
    EXPECT_EQ(ReadFile(dir / "Setting.ini"), settings_text);
}

}  // namespace
}  // namespace flextor::test
