// The two transactions of a polling cycle as bytes on the wire: a conversion
// and a scratchpad read put exactly the same bytes on the bus as they always
// have (reset at 9600 baud, then Match ROM, the code and the command, then the
// read slots), in as few writes as the echoes allow; and a combined block whose
// echo comes back short fails cleanly.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "platform/onewire/fake_port.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"
#include "platform/onewire/sensor_commands.h"

namespace flextor::onewire {
namespace {

using test::FakeLine;
using test::FakePortOpener;
using Bytes = std::vector<uint8_t>;

const RomCode kRom = {0x28, 0x3C, 0x2B, 0x1A, 0x04, 0x00, 0x00, 0xBB};
// 78.5 C: raw 0x04E8, config 0x7F, CRC of the first eight bytes last.
const Scratchpad kPad = {0xE8, 0x04, 0x4B, 0x46, 0x7F, 0xFF, 0x08, 0x10, 0x5E};

// The slot bytes of a byte string, least significant bit first.
Bytes Slots(const Bytes& data) {
    Bytes slots;
    for (uint8_t byte : data) {
        for (int bit = 0; bit < 8; ++bit) {
            slots.push_back((byte >> bit) & 1 ? 0xFF : 0x00);
        }
    }
    return slots;
}

// What the wire carried for one addressed command, after the reset byte.
Bytes Addressed(uint8_t command) {
    Bytes data = {0x55};
    data.insert(data.end(), kRom.begin(), kRom.end());
    data.push_back(command);
    return Slots(data);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A sensor that answers every reset and, after the 80 slots of an addressed
// command, sends its scratchpad in the read slots that follow.
test::EchoRule SensorEcho(Scratchpad pad) {
    auto slot = std::make_shared<size_t>(0);
    return [pad, slot](const Bytes& written, int baud) {
        if (baud == kResetBaud) {
            *slot = 0;
            return Bytes{0xE0};
        }
        Bytes echo;
        for (uint8_t byte : written) {
            size_t bit = (*slot)++;
            bool sends_zero = bit >= 80 && bit < 80 + 72 && byte == 0xFF &&
                              ((pad[(bit - 80) / 8] >> ((bit - 80) % 8)) & 1) == 0;
            echo.push_back(sends_zero ? 0xF8 : byte);
        }
        return echo;
    };
}

class TransactionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LinkOptions = kLinkSleep;
        line->echo = SensorEcho(kPad);
        ASSERT_NE(link.Open("ttyUSB0"), 0);
        line->written.clear();
        line->writes.clear();
        line->speed_changes.clear();
    }
    void TearDown() override { LinkOptions = 0; }

    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    OWire link{FakePortOpener(line)};
};

TEST_F(TransactionTest, ConvertPutsTheSameBytesOnTheWire) {
    ASSERT_TRUE(CRC8(kRom.data(), 8) == 0 && CRC8(kPad.data(), 9) == 0);
    EXPECT_TRUE(ConvertT(link, kRom));
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(line->written, Concat({0xF0}, Addressed(0x44)));
    EXPECT_EQ(line->speed_changes, (std::vector<int>{kResetBaud, kSlotBaud}));
    EXPECT_TRUE(line->received.empty());
}

TEST_F(TransactionTest, ReadPutsTheSameBytesOnTheWireAndDecodesTheEcho) {
    Scratchpad pad{};
    EXPECT_TRUE(ReadScratchpad(link, kRom, pad));
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(pad, kPad);
    EXPECT_EQ(line->written, Concat(Concat({0xF0}, Addressed(0xBE)), Bytes(72, 0xFF)));
    EXPECT_EQ(line->speed_changes, (std::vector<int>{kResetBaud, kSlotBaud}));
    EXPECT_TRUE(line->received.empty());
}

// One write and one wait for the reset, one of each for the whole rest: a sensor
// costs four round trips per cycle.
TEST_F(TransactionTest, EachTransactionIsOneResetAndOneBlock) {
    Scratchpad pad{};
    ASSERT_TRUE(ConvertT(link, kRom));
    EXPECT_EQ(line->writes, (std::vector<size_t>{1, 80}));
    line->writes.clear();
    ASSERT_TRUE(ReadScratchpad(link, kRom, pad));
    EXPECT_EQ(line->writes, (std::vector<size_t>{1, 80 + 72}));
    line->writes.clear();
    ASSERT_TRUE(MatchROM(link, kRom));
    EXPECT_EQ(line->writes, (std::vector<size_t>{1, 72}));
}

// An echo rule that mangles only the block after the reset.
test::EchoRule BlockEcho(std::function<Bytes(const Bytes&)> mangle) {
    return [mangle](const Bytes& written, int baud) {
        return baud == kResetBaud ? Bytes{0xE0} : mangle(written);
    };
}

TEST_F(TransactionTest, CombinedBlockWithWrongEchoCountFailsCleanly) {
    struct Case {
        const char* name;
        std::function<Bytes(const Bytes&)> mangle;
    };
    const Case cases[] = {
        {"one echo short", [](const Bytes& w) { return Bytes(w.begin(), w.end() - 1); }},
        {"stops inside the code", [](const Bytes& w) { return Bytes(w.begin(), w.begin() + 40); }},
        {"nothing", [](const Bytes&) { return Bytes{}; }},
        {"one echo too many", [](const Bytes& w) { return Concat(w, {0xFF}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        line->echo = BlockEcho(c.mangle);
        Scratchpad pad = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        EXPECT_FALSE(ReadScratchpad(link, kRom, pad));
        EXPECT_EQ(LastError(), kErrIO);
        EXPECT_TRUE(line->received.empty());
        EXPECT_EQ(pad, (Scratchpad{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        EXPECT_FALSE(ConvertT(link, kRom));
        EXPECT_EQ(LastError(), kErrIO);
        EXPECT_TRUE(line->received.empty());
    }
    line->echo = SensorEcho(kPad);  // the next transaction starts clean
    Scratchpad pad{};
    EXPECT_TRUE(ReadScratchpad(link, kRom, pad));
    EXPECT_EQ(pad, kPad);
}

// A missing echo is waited for as long as the whole block may take: 2 ms for
// each of its 19 bytes and 36 ms more.
TEST_F(TransactionTest, CombinedBlockWaitsItsWholeTimeout) {
    line->echo = BlockEcho([](const Bytes& w) { return Bytes(w.begin(), w.end() - 1); });
    auto start = std::chrono::steady_clock::now();
    Scratchpad pad{};
    EXPECT_FALSE(ReadScratchpad(link, kRom, pad));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(74));
}

}  // namespace
}  // namespace flextor::onewire
