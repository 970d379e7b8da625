#include "platform/onewire/sim_fixture.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace flextor::onewire::test {

int SimulatedBusTest::Waiting() const {
    int fd = open(bus.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int count = -1;
    if (ioctl(fd, FIONREAD, &count) != 0) {
        count = -1;
    }
    close(fd);
    return count;
}

}  // namespace flextor::onewire::test
