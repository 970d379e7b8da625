// Finding and lowering a USB serial adapter's latency timer.
#include "platform/serial/usb_latency.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/serial/latency_folder.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

TEST(UsbLatency, KernelNameOfThePortFollowsSymbolicLinks) {
    test::TempDir dir;
    test::WriteFile(dir / "ttyUSB3", "");
    std::filesystem::create_directories(dir / "serial" / "by-id");
    std::filesystem::create_symlink("../../ttyUSB3",
                                    dir / "serial" / "by-id" / "usb-adapter-port0");
    std::filesystem::create_symlink("ttyUSB3", dir / "ttyOWIRE");

    EXPECT_EQ(KernelTtyName((dir / "serial" / "by-id" / "usb-adapter-port0").string()), "ttyUSB3");
    EXPECT_EQ(KernelTtyName((dir / "ttyOWIRE").string()), "ttyUSB3");
    EXPECT_EQ(KernelTtyName((dir / "ttyUSB3").string()), "ttyUSB3");
    EXPECT_EQ(KernelTtyName("/dev/flextor-no-such-folder/ttyUSB9"), "ttyUSB9");
}

TEST(UsbLatency, LowersOnlyATimerThatIsHighAndWritable) {
    test::LatencyFolder sysfs;
    sysfs.Writable("ttyUSB0", 16);
    sysfs.Writable("ttyUSB1", 1);
    sysfs.Writable("ttyUSB2", 0);
    sysfs.Writable("ttyUSB3", 1000);  // not a timer's value: treated as none

    struct Case {
        const char* tty;
        LatencyOutcome outcome;
        int found_ms;
    };
    const Case cases[] = {
        {"ttyUSB0", LatencyOutcome::kLowered, 16},   {"ttyUSB1", LatencyOutcome::kAlreadyLow, 1},
        {"ttyUSB2", LatencyOutcome::kAlreadyLow, 0}, {"ttyUSB3", LatencyOutcome::kNoTimer, 0},
        {"3", LatencyOutcome::kNoTimer, 0},  // a pty
        {"", LatencyOutcome::kNoTimer, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tty);
        LatencyResult result = LowerLatencyTimer(sysfs.Root(), c.tty);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.found_ms, c.found_ms);
    }
    EXPECT_EQ(sysfs.Timer("ttyUSB0"), "1\n");
    EXPECT_EQ(ReadLatencyTimer(sysfs.Root(), "ttyUSB0"), 1);
    EXPECT_EQ(sysfs.Timer("ttyUSB1"), "1\n");
}

TEST(UsbLatency, TimerThatMayNotBeWrittenIsRefused) {
    test::LatencyFolder sysfs;
    if (!sysfs.ReadOnly("ttyUSB0")) {
        GTEST_SKIP() << "no read-only number file to stand in for the timer";
    }
    std::optional<int> found = ReadLatencyTimer(sysfs.Root(), "ttyUSB0");
    ASSERT_TRUE(found.has_value());
    LatencyResult result = LowerLatencyTimer(sysfs.Root(), "ttyUSB0");
    EXPECT_EQ(result.outcome, *found > 1 ? LatencyOutcome::kRefused : LatencyOutcome::kAlreadyLow);
    EXPECT_EQ(result.found_ms, *found);
}

TEST(UsbLatency, RootFromTheEnvironment) {
    ASSERT_EQ(unsetenv(kUsbSerialRootVariable), 0);
    EXPECT_EQ(UsbSerialRootFromEnvironment(), "/sys/bus/usb-serial/devices");
    ASSERT_EQ(setenv(kUsbSerialRootVariable, "", 1), 0);
    EXPECT_EQ(UsbSerialRootFromEnvironment(), "/sys/bus/usb-serial/devices");
    ASSERT_EQ(setenv(kUsbSerialRootVariable, "/tmp/usb-serial", 1), 0);
    EXPECT_EQ(UsbSerialRootFromEnvironment(), "/tmp/usb-serial");
    ASSERT_EQ(unsetenv(kUsbSerialRootVariable), 0);
}

}  // namespace
}  // namespace flextor
