// The port list: which entries of a folder are offered, and that probing leaves
// a terminal's own settings alone.
#include "platform/serial/port_probe.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"

namespace flextor {
namespace {

TEST(PortProbe, OffersOnlyTtyEntriesThatOpenAsSerialPorts) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);
    const int held = open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(held, &before), 0);

    test::TempDir folder;
    std::filesystem::create_symlink(slave, folder / "ttyUSB0");
    std::filesystem::create_symlink(slave, folder / "pts0");               // not a tty name
    test::WriteFile(folder / "ttyS9", "not a terminal");                   // does not open as one
    std::filesystem::create_directory(folder / "ttyFolder");               // a folder
    std::filesystem::create_symlink(folder / "gone", folder / "ttyACM0");  // dangling

    EXPECT_EQ(ListSerialPorts("", folder.str() + "/"), std::vector<std::string>{"ttyUSB0"});
    // The polling thread's port is offered without a probe.
    std::vector<std::string> with_port_in_use = ListSerialPorts("ttyS9", folder.str() + "/");
    std::sort(with_port_in_use.begin(), with_port_in_use.end());
    EXPECT_EQ(with_port_in_use, (std::vector<std::string>{"ttyS9", "ttyUSB0"}));
    termios after{};
    ASSERT_EQ(tcgetattr(held, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    close(held);
    close(master);
}

TEST(PortProbe, MissingFolderOffersNothing) {
    EXPECT_TRUE(ListSerialPorts("", "/nonexistent-folder/").empty());
}

}  // namespace
}  // namespace flextor
