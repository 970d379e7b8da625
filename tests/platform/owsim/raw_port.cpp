#include "platform/owsim/raw_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace flextor::owsim::test {

RawPort::RawPort(const std::string& path)
    : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_.Valid() && !SetBaud(115200)) {
        fd_.Reset();
    }
    if (fd_.Valid()) {
        tcflush(fd_.Get(), TCIOFLUSH);
    }
}

bool RawPort::SetBaud(int baud) {
    termios tio{};
    if (tcgetattr(fd_.Get(), &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    speed_t speed = baud == 9600 ? B9600 : B115200;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd_.Get(), TCSANOW, &tio) == 0;
}

bool RawPort::Write(const std::string& bytes) {
    return write(fd_.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string RawPort::Read(std::size_t count, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string got;
    while (got.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd fd{fd_.Get(), POLLIN, 0};
        if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char buffer[256];
        ssize_t n = read(fd_.Get(), buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return got;
}

std::string RawPort::Exchange(const std::string& bytes, int timeout_ms) {
    return Write(bytes) ? Read(bytes.size(), timeout_ms) : std::string();
}

int RawPort::Waiting() const {
    int count = 0;
    return ioctl(fd_.Get(), FIONREAD, &count) == 0 ? count : -1;
}

std::string ResetEcho(RawPort& port, int timeout_ms) {
    port.SetBaud(9600);
    std::string echo = port.Exchange("\xF0", timeout_ms);
    port.SetBaud(115200);
    return echo;
}

std::string SlotsFor(const std::string& data) {
    std::string slots;
    for (char byte : data) {
        for (int bit = 0; bit < 8; ++bit) {
            slots.push_back(((static_cast<uint8_t>(byte) >> bit) & 1) ? '\xFF' : '\x00');
        }
    }
    return slots;
}

std::string ReadSlots(std::size_t count) {
    return std::string(8 * count, '\xFF');
}

std::string BytesFromEcho(const std::string& echo) {
    std::string bytes(echo.size() / 8, '\0');
    for (std::size_t i = 0; i < bytes.size() * 8; ++i) {
        if (static_cast<uint8_t>(echo[i]) == 0xFF) {
            bytes[i / 8] = static_cast<char>(bytes[i / 8] | (1 << (i % 8)));
        }
    }
    return bytes;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

}  // namespace flextor::owsim::test
