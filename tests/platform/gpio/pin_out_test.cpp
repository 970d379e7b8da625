#include "platform/gpio/pin_out.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "base/files/file_io.h"
#include "core/guard/guard_protocol.h"
#include "core/state/program_state.h"
#include "platform/gpio/gpio_backend.h"
#include "platform/gpio/pin_release_plan.h"
#include "platform/gpio/sysfs_gpio.h"
#include "platform/guard/program_watch.h"
#include "support/fake_gpio_folder.h"
#include "support/late_gpio_pins.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

using test::FakeGpioFolder;

// The pins driven through a fake sysfs folder of the given controller base.
class PinOutTest : public ::testing::Test {
  protected:
    explicit PinOutTest(int base = 0, const std::string& label = "")
        : folder(base, label), gpio(folder.root()) {}
    void SetUp() override {
        ResetProgramState();
        InstallGpioBackend(&gpio);
    }
    void TearDown() override { InstallGpioBackend(nullptr); }

    FakeGpioFolder folder;
    SysfsGpio gpio;
};

TEST_F(PinOutTest, EmptyMaskWritesNothing) {
    std::string failed = "stale";
    EXPECT_EQ(WritePins(0xFFFF, 0, &failed), 1);
    EXPECT_EQ(failed, "");
    EXPECT_TRUE(folder.Untouched());
}

TEST_F(PinOutTest, WritesOnlyThePinsInTheMask) {
    EXPECT_EQ(WritePins(0x0008, 0x0018), 1);

    EXPECT_EQ(folder.Value(22), "1");
    EXPECT_EQ(folder.Value(10), "0");
    for (uint16_t pin : {4, 17, 27, 9, 11, 25, 8, 24, 23}) {
        EXPECT_EQ(folder.Value(pin), "") << "GPIO" << pin;
    }
    EXPECT_TRUE(folder.Exported().empty());
}

TEST_F(PinOutTest, ValueFileHoldsTheLastLevel) {
    GpioOutputPins gpio_pins;
    OutputPins& pins = gpio_pins;
    EXPECT_EQ(pins.WritePins(0x0400, 0x0400, nullptr, nullptr), 1);
    EXPECT_EQ(folder.Value(23), "1");
    EXPECT_EQ(pins.WritePins(0x0000, 0x0400, nullptr, nullptr), 1);
    EXPECT_EQ(folder.Value(23), "0");
}

// Relay boards that close on a low input: a pin becomes an output at the level
// that is off for them ("high" with active_low set first); without the option
// active_low is set to 0, so that a pin an earlier run left inverted is put right.
TEST_F(PinOutTest, PinsBecomeOutputsAtTheirOffLevel) {
    SetOutputsActiveLow(true);
    EXPECT_EQ(SetPinsOut(), "");
    EXPECT_EQ(test::ReadFile(folder.PinFolder(17) / "active_low"), "1");
    EXPECT_EQ(folder.Direction(17), "high");
    SetOutputsActiveLow(false);
    EXPECT_EQ(SetPinsOut(), "");
    EXPECT_EQ(test::ReadFile(folder.PinFolder(17) / "active_low"), "0");
    EXPECT_EQ(folder.Direction(17), "out");
}

// The pins of another backend, never given back: their files stay to be read.
class KeptPins final : public GpioBackend {
  public:
    explicit KeptPins(GpioBackend& pins) : pins_(pins) {}
    bool Export(uint16_t gpio) override { return pins_.Export(gpio); }
    bool SetOutput(uint16_t gpio) override { return pins_.SetOutput(gpio); }
    bool WriteValue(uint16_t gpio, bool high) override { return pins_.WriteValue(gpio, high); }
    bool Unexport(uint16_t) override { return true; }
    bool DriveOutput(uint16_t gpio, bool high) override { return pins_.DriveOutput(gpio, high); }

  private:
    GpioBackend& pins_;
};

// Every way of driving the outputs low after the pins were given back, with
// their folders made again only a moment after the export and writable a
// moment later still (udev): each retry sets a pin up whole, so every pin ends
// off, with the active_low of the option and a direction that keeps it off.
TEST_F(PinOutTest, PinsGivenBackAreTakenAgainWholeWhenTheirFilesComeLate) {
    enum class Road { kFailurePlan, kGuard, kShutdown };
    for (const bool active_low : {true, false}) {
        for (const Road road : {Road::kFailurePlan, Road::kGuard, Road::kShutdown}) {
            SCOPED_TRACE(testing::Message()
                         << "road " << static_cast<int>(road) << ", active_low " << active_low);
            SetOutputsActiveLow(active_low);
            ASSERT_EQ(SetPinsOut(), "");
            ASSERT_EQ(WritePins(0x07FF, 0xFFFF), 1);
            PinReleasePlan plan;
            setenv(kGpioRootVariable, folder.root().c_str(), 1);
            const bool made = MakePinReleasePlan(plan);
            unsetenv(kGpioRootVariable);
            ASSERT_TRUE(made);
            test::LateGpioPins late(folder, std::chrono::milliseconds(50),
                                    std::chrono::milliseconds(80));
            ASSERT_EQ(UnexportPins(), 1);
            for (int look = 0; look < 500 && !late.AllGone(); ++look) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_TRUE(late.AllGone());
            bool all_low = false;
            switch (road) {
                case Road::kFailurePlan:
                    all_low = DrivePinsLowByPlan(plan).AllLow();
                    break;
                case Road::kGuard: {
                    KeptPins kept(gpio);
                    all_low =
                        DriveOutputsLowForGood(kept, kGuardLowAttempts, kGuardLowPause).AllLow();
                    break;
                }
                case Road::kShutdown:
                    all_low = DriveAllOutputsLow(10, std::chrono::milliseconds(100)).AllLow();
                    break;
            }
            EXPECT_TRUE(all_low);
            for (uint16_t pin : kDefaultPinTable) {
                EXPECT_EQ(test::ReadFile(folder.PinFolder(pin) / "active_low"),
                          active_low ? "1" : "0")
                    << "GPIO" << pin;
                EXPECT_EQ(folder.Direction(pin), active_low ? "high" : "out") << "GPIO" << pin;
                EXPECT_EQ(folder.Value(pin), "0") << "GPIO" << pin;
            }
        }
    }
    SetOutputsActiveLow(false);
}

// A pin that will not go low leaves the alarm output on, on the failure
// handler's road as on the others; the alarm output itself stuck is named.
TEST_F(PinOutTest, APinThatStaysOnLeavesTheAlarmOutputOn) {
    PinReleasePlan plan;
    setenv(kGpioRootVariable, folder.root().c_str(), 1);
    const bool made = MakePinReleasePlan(plan);
    unsetenv(kGpioRootVariable);
    ASSERT_TRUE(made);
    const auto stick = [&](uint16_t pin) {
        std::filesystem::remove(folder.PinFolder(pin) / "value");
        std::filesystem::create_directory(folder.PinFolder(pin) / "value");
    };
    stick(17);
    const PinsLowByPlan outputs = DrivePinsLowByPlan(plan);
    EXPECT_EQ(outputs.failed_bits, 1u << 1);
    EXPECT_TRUE(outputs.alarm_kept_on);
    EXPECT_EQ(folder.Value(23), "1");
    EXPECT_EQ(folder.Direction(23), "high");
    EXPECT_EQ(folder.Value(4), "0");

    const auto failed_text = [] {
        return DriveAllOutputsLow(2, std::chrono::milliseconds(0)).FailedText();
    };
    EXPECT_EQ(failed_text(), "GPIO17. Выход аварии оставлен включённым.");
    stick(23);
    EXPECT_EQ(failed_text(), "GPIO17. Выход аварии включить не удалось.");
    std::filesystem::remove(folder.PinFolder(17) / "value");
    EXPECT_EQ(failed_text(), "GPIO23") << "the alarm output stuck is named";
}

TEST_F(PinOutTest, MissingDirectionFileFailsOnlyItsPin) {
    folder.RemovePin(17);
    EXPECT_EQ(SetPinsOut(), "GPIO17");
    for (uint16_t pin : kDefaultPinTable) {
        if (pin != 17) {
            EXPECT_EQ(folder.Direction(pin), "out") << "GPIO" << pin;
        }
    }
}

TEST_F(PinOutTest, FailedPinsAreListedInTableOrder) {
    folder.RemovePin(10);
    folder.RemovePin(27);
    std::string failed;
    EXPECT_EQ(WritePins(0x07FF, 0xFFFF, &failed), 0);
    EXPECT_EQ(failed, "GPIO27, GPIO10");
    EXPECT_EQ(folder.Value(23), "1") << "pins after a failure are still written";
    EXPECT_EQ(SetPinsOut(), "GPIO27, GPIO10");
}

TEST_F(PinOutTest, ExportAndUnexportWriteEveryNumberInTableOrder) {
    EXPECT_EQ(ExportPins(), "");
    EXPECT_EQ(folder.Exported(), "4172722109112582423");
    EXPECT_EQ(UnexportPins(), 1);
    EXPECT_EQ(folder.Unexported(), "4172722109112582423");
}

TEST_F(PinOutTest, ExportFailsForEveryPinWithoutTheExportFile) {
    std::filesystem::remove(folder.root() + "/export");
    std::filesystem::create_directory(folder.root() + "/export");
    EXPECT_EQ(
        ExportPins(),
        "GPIO4, GPIO17, GPIO27, GPIO22, GPIO10, GPIO9, GPIO11, GPIO25, GPIO8, GPIO24, GPIO23");
}

// The outputs guard after the program's end: what the program sent, then the end
// of its socket. The guard reads it all and acts before it returns.
GuardOutcome GuardAfter(const std::string& sent, GpioBackend& gpio) {
    int ends[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    EXPECT_EQ(send(ends[0], sent.data(), sent.size(), 0), static_cast<ssize_t>(sent.size()));
    close(ends[0]);
    const GuardOutcome outcome = WatchProgram(ends[1], gpio);
    close(ends[1]);
    return outcome;
}

TEST_F(PinOutTest, TheGuardDrivesEveryOutputLowWhenTheProgramEndsWithoutDismissingIt) {
    test::TempDir logs;
    EXPECT_EQ(WritePins(0x07FF, 0xFFFF), 1);
    folder.RemovePin(27);  // given back and gone: cannot be taken again here
    folder.Exported();
    const GuardOutcome outcome =
        GuardAfter(GuardLogLine("/elsewhere.log") + GuardLogLine((logs / "run.log").string()) +
                       GuardActiveLowLine(true),
                   gpio);
    EXPECT_TRUE(OutputsActiveLow()) << "a pin taken again is made an output at its off level";
    SetOutputsActiveLow(false);
    EXPECT_FALSE(outcome.dismissed);
    EXPECT_EQ(outcome.failed_pins, "GPIO27");
    EXPECT_TRUE(outcome.alarm_kept_on);
    std::string again;
    for (int attempt = 0; attempt < kGuardLowAttempts; ++attempt) {
        again += "27";
    }
    EXPECT_EQ(folder.Exported(), again) << "taken again at every attempt: its folder did not come";
    for (uint16_t pin : kDefaultPinTable) {
        if (pin != 27 && pin != 23) {
            EXPECT_EQ(folder.Value(pin), "0") << "GPIO" << pin;
        }
    }
    // On, for a board that switches on a low level.
    EXPECT_EQ(folder.Value(23), "1");
    EXPECT_EQ(folder.Direction(23), "out");
    EXPECT_EQ(folder.Unexported(), "417221091125824") << "the one on and the alarm stay exported";
    const std::string log = test::ReadFile(logs / "run.log");
    EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF[")) << log;
    EXPECT_TRUE(
        log.ends_with("]  Программа завершилась аварийно: не удалось выключить выходы "
                      "GPIO27. Выход аварии оставлен включённым.\n"))
        << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

TEST_F(PinOutTest, ADismissedGuardLeavesTheOutputsAsTheyAre) {
    test::TempDir logs;
    EXPECT_EQ(WritePins(0x07FF, 0xFFFF), 1);
    const GuardOutcome outcome =
        GuardAfter(GuardLogLine((logs / "run.log").string()) + kGuardDismissLine, gpio);
    EXPECT_TRUE(outcome.dismissed);
    EXPECT_EQ(folder.Value(17), "1");
    EXPECT_EQ(folder.Unexported(), "");
    EXPECT_FALSE(std::filesystem::exists(logs / "run.log"));
}

// A frozen program: a child holding the program's end, which says it is alive
// once and then stops, as a SIGSTOP leaves it. The guard kills it after the
// freeze time, drives the outputs low and leaves its marker.
TEST_F(PinOutTest, TheGuardStopsAProgramWhoseControlLoopFallsSilent) {
    test::TempDir logs;
    EXPECT_EQ(WritePins(0x07FF, 0xFFFF), 1);
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    const pid_t child = fork();
    if (child == 0) {
        const std::string lines = GuardLogLine((logs / "run.log").string()) +
                                  GuardPidLine(getpid()) + GuardFreezeLine(1) +
                                  GuardMarkerLine((logs / "Frozen.txt").string()) +
                                  kGuardAliveLine + kGuardRestartLine + kGuardAliveLine;
        static_cast<void>(send(ends[0], lines.data(), lines.size(), 0));
        for (;;) {
            pause();
        }
    }
    close(ends[0]);
    const auto started = std::chrono::steady_clock::now();
    const GuardOutcome outcome = WatchProgram(ends[1], gpio);
    const auto took = std::chrono::steady_clock::now() - started;
    close(ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_TRUE(outcome.frozen);
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_LT(took, std::chrono::seconds(5));
    for (uint16_t pin : kDefaultPinTable) {
        EXPECT_EQ(folder.Value(pin), "0") << "GPIO" << pin;
    }
    EXPECT_TRUE(test::ReadFile(logs / "run.log")
                    .ends_with("]  Программа не отвечала 1 с и остановлена сторожем выходов: все "
                               "выходы выключены.\n"));
    EXPECT_TRUE(std::filesystem::exists(logs / "Frozen.txt"));
}

// What the guard times: from an "alive" until a new instance announces itself
// or a failing one hands over; a freeze time that is no number is the default.
TEST(GuardInboxTest, TimesTheControlLoopOnlyAfterItsFirstSign) {
    GuardInbox inbox;
    inbox.Take("pid 42\nfreeze x\n");
    EXPECT_FALSE(inbox.timing());
    EXPECT_EQ(inbox.pid(), 42);
    EXPECT_EQ(inbox.freeze_seconds(), kDefaultFreezeSeconds);
    inbox.Take("freeze 20\nal");
    EXPECT_FALSE(inbox.TakeBeat()) << "half a line is no sign";
    inbox.Take("ive\n");
    EXPECT_TRUE(inbox.timing());
    EXPECT_TRUE(inbox.TakeBeat());
    EXPECT_FALSE(inbox.TakeBeat());
    EXPECT_EQ(inbox.freeze_seconds(), 20);
    inbox.Take(kGuardRestartLine);
    EXPECT_FALSE(inbox.timing());
    inbox.Take(kGuardAliveLine);
    inbox.Take(GuardPidLine(43));
    EXPECT_FALSE(inbox.timing()) << "the new instance is timed from its first sign";
    EXPECT_EQ(GuardMarkerLine("a\nb"), "marker \n");
}

// A kernel of 6.6 or later on a Pi 4: the controller is gpiochip512.
class PinOutOnBase512Test : public PinOutTest {
  protected:
    PinOutOnBase512Test() : PinOutTest(512, "pinctrl-bcm2711") {}
};

TEST_F(PinOutOnBase512Test, FilesUseTheKernelsNumbersListsTheBcmNumbers) {
    EXPECT_EQ(ExportPins(), "");
    EXPECT_EQ(folder.Exported(), "516529539534522521523537520536535");
    EXPECT_EQ(SetPinsOut(), "");
    EXPECT_EQ(folder.Direction(4), "out");
    EXPECT_TRUE(std::filesystem::exists(folder.root() + "/gpio516/direction"));
    EXPECT_FALSE(std::filesystem::exists(folder.root() + "/gpio4"));

    folder.RemovePin(4);
    EXPECT_EQ(SetPinsOut(), "GPIO4");
    std::string failed;
    EXPECT_EQ(WritePins(0x0001, 0x0001, &failed), 0);
    EXPECT_EQ(failed, "GPIO4");
    EXPECT_EQ(UnexportPins(), 1);
    EXPECT_EQ(folder.Unexported(), "516529539534522521523537520536535");
}

// Value writes that fail a given number of times per pin (-1: always).
class FlakyGpio final : public GpioBackend {
  public:
    std::map<uint16_t, int> failures;
    std::map<uint16_t, int> writes;
    std::map<uint16_t, bool> levels;

    bool Export(uint16_t) override { return true; }
    bool SetOutput(uint16_t) override { return true; }
    bool Unexport(uint16_t) override { return true; }
    bool WriteValue(uint16_t gpio, bool high) override {
        ++writes[gpio];
        levels[gpio] = high;
        int& left = failures[gpio];
        if (left == 0) {
            return true;
        }
        left -= left > 0 ? 1 : 0;
        return false;
    }
};

TEST(DriveAllOutputsLowTest, RetriesOnlyTheFailedPinsAndNamesThoseThatStayHigh) {
    ResetProgramState();
    FlakyGpio gpio;
    gpio.failures = {{17, 2}, {22, -1}};
    InstallGpioBackend(&gpio);
    const OutputsLow outputs = DriveAllOutputsLow(3, std::chrono::milliseconds(0));
    EXPECT_EQ(outputs.failed, "GPIO22");
    EXPECT_TRUE(outputs.alarm_kept_on);
    EXPECT_EQ(gpio.writes[4], 1);
    EXPECT_EQ(gpio.writes[17], 3);
    EXPECT_EQ(gpio.writes[22], 3);
    EXPECT_EQ(gpio.writes[23], 1);
    EXPECT_TRUE(gpio.levels[23]) << "the alarm output on, and last";
    gpio.failures = {};
    gpio.writes.clear();
    EXPECT_TRUE(DriveAllOutputsLow(3, std::chrono::milliseconds(0)).AllLow());
    EXPECT_EQ(gpio.writes.size(), 11u);
    EXPECT_FALSE(gpio.levels[23]);
    InstallGpioBackend(nullptr);
}

}  // namespace
}  // namespace flextor
