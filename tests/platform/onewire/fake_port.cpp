#include "platform/onewire/fake_port.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace flextor::test {
namespace {

class FakePort final : public SerialPort {
  public:
    FakePort(std::shared_ptr<FakeLine> line, int baud) : line_(std::move(line)) {
        line_->baud = baud;
        line_->open = true;
    }
    ~FakePort() override { line_->open = false; }

    int32_t Handle() const override { return 42; }

    bool SetSpeed(int baud) override {
        if (line_->refuse_speed) {
            return false;
        }
        line_->baud = baud;
        line_->speed_changes.push_back(baud);
        return true;
    }

    ssize_t Write(const uint8_t* data, size_t n) override {
        size_t count = n;
        if (line_->write_limit >= 0) {
            count = std::min(n, static_cast<size_t>(line_->write_limit));
        }
        // Copied with memcpy: gcc 14 takes the range constructor's copy of a
        // single byte for a possible null dereference.
        std::vector<uint8_t> bytes(count);
        if (count > 0) {
            std::memcpy(bytes.data(), data, count);
        }
        line_->writes.push_back(n);
        line_->written.insert(line_->written.end(), bytes.begin(), bytes.end());
        for (uint8_t echo : line_->echo(bytes, line_->baud)) {
            line_->received.push_back(echo);
        }
        return static_cast<ssize_t>(count);
    }

    ssize_t Read(uint8_t* data, size_t n) override {
        size_t count = std::min(n, line_->received.size());
        for (size_t i = 0; i < count; ++i) {
            data[i] = line_->received.front();
            line_->received.pop_front();
        }
        return static_cast<ssize_t>(count);
    }

    int Waiting() override { return static_cast<int>(line_->received.size()); }

    // Echoes arrive with their write or never: an empty queue sleeps the timeout.
    int WaitForInput(int timeout_ms) override {
        ++line_->input_waits;
        if (!line_->received.empty()) {
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
        return 0;
    }
    void FlushInput() override { line_->received.clear(); }
    void SetModemLines(bool raised) override { line_->modem_lines = raised; }

  private:
    std::shared_ptr<FakeLine> line_;
};

}  // namespace

std::vector<uint8_t> PassiveEcho(const std::vector<uint8_t>& written, int baud) {
    if (baud == 9600 && written.size() == 1 && written[0] == 0xF0) {
        return {0xE0};
    }
    return written;
}

SerialPortOpener FakePortOpener(std::shared_ptr<FakeLine> line) {
    return [line](const std::string& path, int baud) -> std::unique_ptr<SerialPort> {
        if (line->refuse_open) {
            return nullptr;
        }
        line->opened_path = path;
        return std::make_unique<FakePort>(line, baud);
    };
}

}  // namespace flextor::test
