#include "platform/onewire/sim_fixture.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "base/files/unique_fd.h"

namespace flextor::onewire::test {

int SimulatedBusTest::Waiting() const {
    UniqueFd fd(open(bus.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    int count = -1;
    if (!fd.Valid() || ioctl(fd.Get(), FIONREAD, &count) != 0) {
        return -1;
    }
    return count;
}

}  // namespace flextor::onewire::test
