// The ways a program can end without its own shutdown still leave every output
// low and the pins given back.
#include "app/outputs_guard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "core/state/program_state.h"
#include "platform/gpio/gpio_backend.h"
#include "platform/gpio/pin_out.h"
#include "platform/gpio/sysfs_gpio.h"
#include "support/fake_gpio_folder.h"

namespace flextor::test {
namespace {

constexpr uint16_t kAllOutputs = 0x07FF;

class OutputsGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The child must share this folder with the test, so it is forked, not
        // started anew.
        GTEST_FLAG_SET(death_test_style, "fast");
        ResetProgramState();
        InstallGpioBackend(&gpio);
    }
    void TearDown() override { InstallGpioBackend(nullptr); }

    bool AllLow() const {
        for (uint16_t pin : kDefaultPinTable) {
            if (folder.Value(pin) != "0") {
                return false;
            }
        }
        return true;
    }

    FakeGpioFolder folder;
    SysfsGpio gpio{folder.root()};
};

// In the child: every output high, the guard armed, then the end.
void EndWithOutputsHigh(void (*end)()) {
    if (WritePins(kAllOutputs, kAllOutputs) == 1) {
        ArmOutputsGuard();
        end();
    }
}

TEST_F(OutputsGuardTest, ExitFromALibraryAndTerminateDriveEveryOutputLowFirst) {
    EXPECT_EXIT(EndWithOutputsHigh([] { std::exit(3); }), testing::ExitedWithCode(3),
                "все выходы выключены");
    EXPECT_TRUE(AllLow());
    EXPECT_EQ(folder.Unexported(), "4172722109112582423");

    EXPECT_EXIT(EndWithOutputsHigh([] { std::terminate(); }), testing::KilledBySignal(SIGABRT),
                "все выходы выключены");
    EXPECT_TRUE(AllLow());

    // A run line that will not go low: the alarm output is left on, and the
    // message says so rather than that every output is off.
    std::filesystem::remove(folder.PinFolder(17) / "value");
    std::filesystem::create_directory(folder.PinFolder(17) / "value");
    EXPECT_EXIT(
        {
            static_cast<void>(WritePins(kAllOutputs, kAllOutputs));
            ArmOutputsGuard();
            std::exit(3);
        },
        testing::ExitedWithCode(3),
        "не удалось выключить выходы GPIO17\\. Выход аварии оставлен включённым\\.");
    EXPECT_EQ(folder.Value(23), "1");
    EXPECT_EQ(folder.Value(4), "0");
}

TEST_F(OutputsGuardTest, AnOrderlyShutdownDisarmsIt) {
    EXPECT_EXIT(
        {
            ASSERT_EQ(WritePins(kAllOutputs, kAllOutputs), 1);
            ArmOutputsGuard();
            DisarmOutputsGuard();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(folder.Value(17), "1");
    EXPECT_EQ(folder.Unexported(), "");
}

}  // namespace
}  // namespace flextor::test
