// The real serial port: a terminal device driven through termios.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "base/files/unique_fd.h"
#include "platform/serial/device_gone.h"
#include "platform/serial/serial_port.h"

namespace flextor {
namespace {

bool SpeedCode(int baud, speed_t& code) {
    switch (baud) {
        case 4800:
            code = B4800;
            return true;
        case 9600:
            code = B9600;
            return true;
        case 19200:
            code = B19200;
            return true;
        case 38400:
            code = B38400;
            return true;
        case 57600:
            code = B57600;
            return true;
        case 115200:
            code = B115200;
            return true;
        default:
            return false;
    }
}

// Raw 8N1: no flow control, no processing either way except that bytes with
// parity or framing errors are dropped; a read returns whatever is waiting.
void MakeRaw(termios& tio) {
    tio.c_iflag = IGNPAR;
    tio.c_oflag = 0;
    tio.c_cflag = CS8 | CREAD | CLOCAL;
    tio.c_lflag = 0;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

bool ApplySpeed(int fd, termios& tio, int baud) {
    speed_t code = 0;
    if (!SpeedCode(baud, code)) {
        return false;
    }
    return cfsetispeed(&tio, code) == 0 && cfsetospeed(&tio, code) == 0 &&
           tcsetattr(fd, TCSANOW, &tio) == 0;
}

class TermiosPort final : public SerialPort {
  public:
    TermiosPort(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int32_t Handle() const override { return fd_.Get(); }

    bool SetSpeed(int baud) override {
        termios tio{};
        errno = 0;  // a rate without a code fails without a call
        if (tcgetattr(fd_.Get(), &tio) == 0 && ApplySpeed(fd_.Get(), tio, baud)) {
            return true;
        }
        NoteFailure();
        return false;
    }

    ssize_t Write(const uint8_t* data, size_t n) override {
        ssize_t written = write(fd_.Get(), data, n);
        if (written < 0) {
            NoteFailure();
        }
        return written;
    }

    ssize_t Read(uint8_t* data, size_t n) override {
        ssize_t got = read(fd_.Get(), data, n);
        if (got < 0 && errno == EAGAIN) {  // EWOULDBLOCK is the same on Linux
            return 0;
        }
        if (got < 0) {
            NoteFailure();
        }
        return got;
    }

    int Waiting() override {
        int count = 0;
        if (ioctl(fd_.Get(), FIONREAD, &count) == 0) {
            return count;
        }
        NoteFailure();
        return -1;
    }

    int WaitForInput(int timeout_ms) override {
        pollfd fd{fd_.Get(), POLLIN, 0};
        int ready = poll(&fd, 1, timeout_ms);
        if (ready < 0) {
            return errno == EINTR ? 0 : -1;
        }
        if (ready > 0 && (fd.revents & POLLIN) == 0) {
            gone_ = gone_ || (fd.revents & (POLLHUP | POLLNVAL)) != 0;
            return -1;  // hang-up or error without data: the adapter is gone
        }
        return ready;
    }

    void FlushInput() override {
        if (tcflush(fd_.Get(), TCIFLUSH) != 0) {
            NoteFailure();
        }
    }

    void SetModemLines(bool raised) override {
        int lines = TIOCM_DTR | TIOCM_RTS;
        ioctl(fd_.Get(), raised ? TIOCMBIS : TIOCMBIC, &lines);
    }

    bool Gone() const override { return gone_ || DevicePathMissing(path_); }

  private:
    // A failed call's errno tells a vanished device from a passing fault.
    void NoteFailure() { gone_ = gone_ || IsDeviceGoneError(errno); }

    UniqueFd fd_;
    std::string path_;
    bool gone_ = false;
};

// Handle 0 means "no port" to the link's callers, so descriptor 0 is moved up.
int AvoidDescriptorZero(int fd) {
    if (fd != 0) {
        return fd;
    }
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    return moved;
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, int baud) {
    int raw_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (raw_fd < 0) {
        return nullptr;
    }
    UniqueFd fd(AvoidDescriptorZero(raw_fd));
    termios tio{};
    if (fd.Get() < 0 || tcgetattr(fd.Get(), &tio) != 0) {
        return nullptr;
    }
    MakeRaw(tio);
    if (!ApplySpeed(fd.Get(), tio, baud)) {
        return nullptr;
    }
    tcflush(fd.Get(), TCIFLUSH);
    return std::make_unique<TermiosPort>(fd.Release(), path);
}

}  // namespace flextor
