// The serving thread and the thread-safe face of the simulated bus.
#include "owsim/sim_bus.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "base/files/unique_fd.h"
#include "owsim/bus_model.h"
#include "owsim/echo_schedule.h"
#include "owsim/pty.h"

namespace flextor::owsim {

struct SimBus::Impl {
    // Guards model, timing and slavePath.
    mutable std::mutex mutex;
    BusModel model;
    EchoTiming timing;
    std::string slavePath;

    // The echoes on their way back; the serving thread's own.
    EchoSchedule schedule;

    // Start and Stop, one at a time.
    std::mutex lifecycle;
    std::atomic<bool> running{false};
    Pty pty;
    UniqueFd wake;
    std::thread server;

    void Serve();
    bool ServeOnce(uint8_t* buffer, std::size_t size);
    bool Answer(uint8_t* buffer, std::size_t size);
    bool WaitForStop(int ms) const;
    bool WriteEcho(const std::string& echo) const;

    template <typename F>
    bool WithDevice(const RomCode& rom, F change) {
        std::lock_guard lock(mutex);
        Device* device = model.Find(rom);
        if (device == nullptr) {
            return false;
        }
        change(device->Info());
        return true;
    }
    template <typename F>
    int DeviceCount(const RomCode& rom, F count) const {
        std::lock_guard lock(mutex);
        const Device* device = model.Find(rom);
        return device == nullptr ? 0 : count(device->Info());
    }
};

// Runs on the serving thread until Stop wakes it.
void SimBus::Impl::Serve() {
    uint8_t buffer[4096];
    while (ServeOnce(buffer, sizeof buffer)) {
    }
}

namespace {

// How long poll may sleep before the next echo is due; nullptr = until woken.
const timespec* TimeUntil(std::optional<SimClock::time_point> due, timespec* wait) {
    if (!due) {
        return nullptr;
    }
    auto left = std::max(SimClock::duration::zero(), *due - SimClock::now());
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    wait->tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    wait->tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return wait;
}

}  // namespace

// Takes the bytes written since the last look and answers them, then passes on
// the echoes that are due; false when the bus is stopping.
bool SimBus::Impl::ServeOnce(uint8_t* buffer, std::size_t size) {
    pollfd fds[2] = {{pty.Master(), POLLIN, 0}, {wake.Get(), POLLIN, 0}};
    timespec wait{};
    if (ppoll(fds, 2, TimeUntil(schedule.NextDue(), &wait), nullptr) < 0) {
        return errno == EINTR;
    }
    if (fds[1].revents != 0) {
        return false;
    }
    if (fds[0].revents != 0 && !Answer(buffer, size)) {
        return false;
    }
    std::string due = schedule.TakeDue(SimClock::now());
    return due.empty() || WriteEcho(due);
}

// Reads what the program wrote and queues its echo; false when the bus is stopping.
bool SimBus::Impl::Answer(uint8_t* buffer, std::size_t size) {
    ssize_t n = read(pty.Master(), buffer, size);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    if (n <= 0) {
        return !WaitForStop(10);  // a passing hang-up: try again without spinning
    }
    // The bytes are answered as soon as they are written, at the rate the port has
    // now: the link waits for each reset's echo before it changes the rate again.
    int baud = pty.CurrentBaud();
    std::lock_guard lock(mutex);
    std::string echo = model.Answer(buffer, static_cast<std::size_t>(n), baud);
    schedule.Add(std::move(echo), static_cast<std::size_t>(n), baud, timing, SimClock::now());
    return true;
}

// True when Stop asked the thread to end within ms milliseconds.
bool SimBus::Impl::WaitForStop(int ms) const {
    pollfd fd{wake.Get(), POLLIN, 0};
    return poll(&fd, 1, ms) > 0;
}

bool SimBus::Impl::WriteEcho(const std::string& echo) const {
    std::size_t done = 0;
    while (done < echo.size()) {
        ssize_t n = write(pty.Master(), echo.data() + done, echo.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (errno != EAGAIN && errno != EINTR) {
            return true;  // the echo is lost; keep serving
        }
        pollfd fds[2] = {{pty.Master(), POLLOUT, 0}, {wake.Get(), POLLIN, 0}};
        if (poll(fds, 2, 100) > 0 && fds[1].revents != 0) {
            return false;
        }
    }
    return true;
}

SimBus::SimBus() : impl_(std::make_unique<Impl>()) {}

SimBus::~SimBus() {
    Stop();
}

bool SimBus::Start() {
    std::lock_guard life(impl_->lifecycle);
    if (impl_->running) {
        return false;
    }
    impl_->wake.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!impl_->wake.Valid() || !impl_->pty.Open()) {
        impl_->wake.Reset();
        return false;
    }
    {
        std::lock_guard lock(impl_->mutex);
        impl_->slavePath = impl_->pty.SlavePath();
    }
    impl_->server = std::thread([impl = impl_.get()] { impl->Serve(); });
    impl_->running = true;
    return true;
}

void SimBus::Stop() {
    std::lock_guard life(impl_->lifecycle);
    if (!impl_->running) {
        return;
    }
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written =
        write(impl_->wake.Get(), &one, sizeof one);  // wakes the thread
    impl_->server.join();
    impl_->schedule.Clear();
    impl_->pty.Close();
    impl_->wake.Reset();
    impl_->running = false;
    std::lock_guard lock(impl_->mutex);
    impl_->slavePath.clear();
}

bool SimBus::Running() const {
    return impl_->running;
}

std::string SimBus::SlavePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->slavePath;
}

std::string SimBus::PortName() const {
    std::string path = SlavePath();
    const std::string dev = "/dev/";
    return path.starts_with(dev) ? path.substr(dev.size()) : path;
}

bool SimBus::AddDevice(const RomCode& rom, int tenths) {
    std::lock_guard lock(impl_->mutex);
    return impl_->model.Add(rom, tenths);
}

RomCode SimBus::AddSensor(uint8_t family, uint64_t serial, int tenths) {
    RomCode rom = MakeRom(family, serial);
    static_cast<void>(AddDevice(rom, tenths));  // one already there stays as it is
    return rom;
}

bool SimBus::RemoveDevice(const RomCode& rom) {
    std::lock_guard lock(impl_->mutex);
    return impl_->model.Remove(rom);
}

bool SimBus::SetTemperature(const RomCode& rom, int tenths) {
    return impl_->WithDevice(rom, [&](DeviceInfo& info) { info.tenths = ClampTenths(tenths); });
}

std::vector<DeviceInfo> SimBus::Devices() const {
    std::lock_guard lock(impl_->mutex);
    std::vector<DeviceInfo> list;
    for (const Device& device : impl_->model.Devices()) {
        list.push_back(device.Info());
    }
    return list;
}

bool SimBus::SetAbsent(const RomCode& rom, bool on) {
    return impl_->WithDevice(rom, [&](DeviceInfo& info) { info.absent = on; });
}

bool SimBus::SetBadCrc(const RomCode& rom, bool on) {
    return impl_->WithDevice(rom, [&](DeviceInfo& info) { info.badCrc = on; });
}

bool SimBus::SetStuckAt85(const RomCode& rom, bool on) {
    return impl_->WithDevice(rom, [&](DeviceInfo& info) { info.stuckAt85 = on; });
}

void SimBus::SetShorted(bool on) {
    std::lock_guard lock(impl_->mutex);
    impl_->model.Faults().shorted = on;
}

void SimBus::SetSilent(bool on) {
    std::lock_guard lock(impl_->mutex);
    impl_->model.Faults().silent = on;
}

void SimBus::DropNextEchoes(int count) {
    std::lock_guard lock(impl_->mutex);
    impl_->model.Faults().dropNext = count > 0 ? count : 0;
}

void SimBus::SetDropEvery(int nth) {
    std::lock_guard lock(impl_->mutex);
    impl_->model.Faults().dropEvery = nth > 0 ? nth : 0;
}

void SimBus::SetEchoDelayMs(int ms) {
    std::lock_guard lock(impl_->mutex);
    impl_->timing.extraDelay = std::chrono::milliseconds(ms > 0 ? ms : 0);
}

void SimBus::SetLineTime(bool on) {
    std::lock_guard lock(impl_->mutex);
    impl_->timing.lineTime = on;
}

void SimBus::SetLatencyUs(int us) {
    std::lock_guard lock(impl_->mutex);
    impl_->timing.latency = std::chrono::microseconds(us > 0 ? us : 0);
}

bool SimBus::LineTime() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->timing.lineTime;
}

int SimBus::LatencyUs() const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<int>(impl_->timing.latency.count());
}

void SimBus::ClearFaults() {
    std::lock_guard lock(impl_->mutex);
    impl_->model.ClearFaults();
    impl_->timing.extraDelay = {};
}

int SimBus::Resets() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->model.Resets();
}

int SimBus::Searches() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->model.Searches();
}

int SimBus::Reads(const RomCode& rom) const {
    return impl_->DeviceCount(rom, [](const DeviceInfo& info) { return info.reads; });
}

int SimBus::Converts(const RomCode& rom) const {
    return impl_->DeviceCount(rom, [](const DeviceInfo& info) { return info.converts; });
}

void SimBus::ClearCounters() {
    std::lock_guard lock(impl_->mutex);
    impl_->model.ClearCounters();
}

}  // namespace flextor::owsim
