// The link on a real terminal device: a pty without modem lines, named through
// /dev/pts or a tty-named symbolic link, answered by the simulated bus.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/files/unique_fd.h"
#include "platform/onewire/sim_fixture.h"

namespace flextor::onewire::test {
namespace {

class LinkOnPtyTest : public SimulatedBusTest {
  protected:
    speed_t PortSpeed() const {
        UniqueFd fd(open(bus.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        termios tio{};
        tcgetattr(fd.Get(), &tio);
        return cfgetospeed(&tio);
    }
};

TEST_F(LinkOnPtyTest, ResetSeesPresenceOnlyWithADeviceAndEndsAtFullSpeed) {
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrNoPresence);
    EXPECT_EQ(PortSpeed(), B115200);

    Sensor(0x28, 0x1);
    EXPECT_TRUE(link.Reset());
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(PortSpeed(), B115200);
    EXPECT_EQ(bus.Resets(), 2);

    bus.SetSilent(true);
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_EQ(PortSpeed(), B115200);
}

// Removes a symbolic link when the test ends.
struct SymlinkUnderDev {
    explicit SymlinkUnderDev(const std::string& target)
        : name("ttyOWIRETEST" + std::to_string(getpid())),
          made(symlink(target.c_str(), ("/dev/" + name).c_str()) == 0) {}
    ~SymlinkUnderDev() {
        if (made) {
            unlink(("/dev/" + name).c_str());
        }
    }
    std::string name;
    bool made;
};

TEST_F(LinkOnPtyTest, OpensThroughATtyNamedLinkUnderDev) {
    SymlinkUnderDev alias(bus.SlavePath());
    if (!alias.made) {
        GTEST_SKIP() << "/dev is not writable here";
    }
    Sensor(0x28, 0x1);
    OWire second;
    EXPECT_NE(second.Open(alias.name), 0);
    EXPECT_TRUE(second.Reset());
}

}  // namespace
}  // namespace flextor::onewire::test
