// The real serial port: a terminal device driven through termios.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/serial/serial_port.h"

namespace flextor {
namespace {

// Owns one file descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

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
    explicit TermiosPort(int fd) : fd_(fd) {}

    int32_t Handle() const override { return fd_.get(); }

    bool SetSpeed(int baud) override {
        termios tio{};
        return tcgetattr(fd_.get(), &tio) == 0 && ApplySpeed(fd_.get(), tio, baud);
    }

    ssize_t Write(const uint8_t* data, size_t n) override { return write(fd_.get(), data, n); }

    ssize_t Read(uint8_t* data, size_t n) override {
        ssize_t got = read(fd_.get(), data, n);
        if (got < 0 && errno == EAGAIN) {  // EWOULDBLOCK is the same on Linux
            return 0;
        }
        return got;
    }

    int Waiting() override {
        int count = 0;
        return ioctl(fd_.get(), FIONREAD, &count) == 0 ? count : -1;
    }

    void FlushInput() override { tcflush(fd_.get(), TCIFLUSH); }

    void SetModemLines(bool raised) override {
        int lines = TIOCM_DTR | TIOCM_RTS;
        ioctl(fd_.get(), raised ? TIOCMBIS : TIOCMBIC, &lines);
    }

  private:
    FileDescriptor fd_;
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
    FileDescriptor fd(AvoidDescriptorZero(raw_fd));
    termios tio{};
    if (fd.get() < 0 || tcgetattr(fd.get(), &tio) != 0) {
        return nullptr;
    }
    MakeRaw(tio);
    if (!ApplySpeed(fd.get(), tio, baud)) {
        return nullptr;
    }
    tcflush(fd.get(), TCIFLUSH);
    return std::make_unique<TermiosPort>(fd.release());
}

}  // namespace flextor
