// The adapter behind a port name, as the latency timer's folder names it.
#include "platform/serial/usb_latency.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    EXPECT_EQ(KernelTtyName("/dev/flextor-no-such-folder/ttyUSB9"), "ttyUSB9");
}

}  // namespace
}  // namespace flextor
