#include "owsim/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cstdint>

namespace flextor::owsim {
namespace {

struct BaudEntry {
    speed_t code;
    int baud;
};

constexpr BaudEntry kBauds[] = {
    {B0, 0},         {B300, 300},       {B1200, 1200},     {B2400, 2400},
    {B4800, 4800},   {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
};

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

bool Pty::Open() {
    Close();
    UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.Valid() || grantpt(master.Get()) != 0 || unlockpt(master.Get()) != 0) {
        return false;
    }
    char name[128];
    if (ptsname_r(master.Get(), name, sizeof name) != 0) {
        return false;
    }
    UniqueFd slave(open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.Valid() || !MakeRaw(slave.Get())) {
        return false;
    }
    master_ = std::move(master);
    slave_ = std::move(slave);
    slavePath_ = name;
    return true;
}

void Pty::Close() {
    slave_.Reset();
    master_.Reset();
    slavePath_.clear();
}

int Pty::CurrentBaud() const {
    termios tio{};
    if (tcgetattr(master_.Get(), &tio) != 0) {
        return 0;
    }
    speed_t code = cfgetospeed(&tio);
    for (const BaudEntry& entry : kBauds) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return 0;
}

}  // namespace flextor::owsim
