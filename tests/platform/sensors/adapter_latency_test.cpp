// The adapter's latency timer as the polling thread meets it when it opens the
// port: lowered when it may be, else one warning per adapter with the way to
// lower it, and nothing for ports whose timer is low or missing.
#include "platform/sensors/adapter_latency.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "core/log/message_log.h"
#include "platform/onewire/fake_port.h"
#include "platform/onewire/link.h"
#include "platform/sensors/exchange.h"
#include "platform/sensors/port_keeper.h"
#include "platform/serial/usb_latency.h"
#include "support/recording_log_view.h"
#include "support/temp_dir.h"

namespace flextor {
namespace {

// Mode 0444 in /proc/sys holds for root too, unlike a read-only file of ours.
constexpr char kReadOnlyNumber[] = "/proc/sys/kernel/cap_last_cap";

// Stands in for /sys/bus/usb-serial/devices.
class AdapterLatencyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetMessageLog();
        SetLogView(&log);
    }
    void TearDown() override { ResetMessageLog(); }

    void Timer(const std::string& tty, int ms) {
        std::filesystem::create_directories(sysfs / tty);
        test::WriteFile(sysfs / tty / "latency_timer", std::to_string(ms) + "\n");
    }
    std::vector<test::RecordingLogView::Row> Messages() {
        HandleLogMessageEvent();
        return log.rows;
    }

    test::TempDir sysfs;
    test::RecordingLogView log;
    std::set<std::string> advised;
};

TEST_F(AdapterLatencyTest, WritableTimerIsSetToOneMillisecondOnce) {
    Timer("ttyUSB0", 16);
    TuneAdapterLatency("ttyUSB0", sysfs.str(), advised);
    TuneAdapterLatency("ttyUSB0", sysfs.str(), advised);
    EXPECT_EQ(test::ReadFile(sysfs / "ttyUSB0" / "latency_timer"), "1\n");
    auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].level, kLevelInfo);
}

TEST_F(AdapterLatencyTest, LowOrMissingTimersSayNothing) {
    Timer("ttyUSB1", 1);
    Timer("ttyUSB2", 999);  // no timer's value: taken as no timer
    for (const char* port : {"ttyUSB1", "ttyUSB2", "pts/3", "ttyUSB0", ""}) {
        TuneAdapterLatency(port, sysfs.str(), advised);
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(test::ReadFile(sysfs / "ttyUSB2" / "latency_timer"), "999\n");
}

// Through the reopen of the polling thread, as the program opens its port.
TEST_F(AdapterLatencyTest, TimerThatMayNotBeWrittenIsExplainedOncePerAdapter) {
    if (access(kReadOnlyNumber, R_OK) != 0 || access(kReadOnlyNumber, W_OK) == 0) {
        GTEST_SKIP() << "no read-only number file to stand in for the timer";
    }
    for (const char* tty : {"ttyUSB0", "ttyUSB1"}) {
        std::filesystem::create_directories(sysfs / tty);
        std::filesystem::create_symlink(kReadOnlyNumber, sysfs / tty / "latency_timer");
    }
    const int found = ReadLatencyTimer(sysfs.str(), "ttyUSB0").value_or(0);
    ASSERT_GT(found, kWantedLatencyMs);
    ASSERT_EQ(setenv(kUsbSerialRootVariable, sysfs.str().c_str(), 1), 0);
    auto line = std::make_shared<test::FakeLine>();
    onewire::OWire link{test::FakePortOpener(line)};
    PollTable table;
    table.PortName = "ttyUSB0";
    ReopenPort(table, link);
    ReopenPort(table, link);
    table.PortName = "ttyUSB1";
    ReopenPort(table, link);
    unsetenv(kUsbSerialRootVariable);

    auto messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].level, kLevelWarning);
    EXPECT_TRUE(messages[0].text.ends_with(LatencyAdviceText("ttyUSB0", found, sysfs.str())));
    EXPECT_NE(messages[0].text.find("echo 1 | sudo tee " + sysfs.str() + "/ttyUSB0/latency_timer"),
              std::string::npos);
    EXPECT_TRUE(messages[1].text.ends_with(LatencyAdviceText("ttyUSB1", found, sysfs.str())));
}

}  // namespace
}  // namespace flextor
