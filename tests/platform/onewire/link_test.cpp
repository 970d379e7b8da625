// The link's own behaviour on a fake port: every way an echo can go wrong, the
// speed switching around a reset, and the slot encoding of byte blocks.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/onewire/fake_port.h"
#include "platform/onewire/link.h"

namespace flextor::onewire {
namespace {

using test::FakeLine;
using test::FakePortOpener;
using Bytes = std::vector<uint8_t>;

// Answers a reset with the given echo; slots are echoed as written.
test::EchoRule ResetEcho(Bytes reset_echo) {
    return [reset_echo](const Bytes& written, int baud) {
        return baud == 9600 ? reset_echo : written;
    };
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLastError(kErrNone);
        ASSERT_EQ(link.Open("ttyFAKE0"), 42);
        line->written.clear();
        line->speed_changes.clear();
    }

    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    OWire link{FakePortOpener(line)};
};

int64_t MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

TEST(LinkOpen, EmptyNameOpensNothing) {
    auto line = std::make_shared<FakeLine>();
    OWire link{FakePortOpener(line)};
    EXPECT_EQ(link.Open(""), 0);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(line->opened_path.empty());
}

TEST(LinkOpen, RealPortsThatAreMissingOrNotTerminalsFail) {
    OWire link;
    EXPECT_EQ(link.Open("owire-test-no-such-device"), 0);
    EXPECT_EQ(LastError(), kErrNoPort);
    EXPECT_EQ(link.Open("null"), 0);  // exists, but is not a terminal
    EXPECT_EQ(LastError(), kErrNoPort);
    EXPECT_FALSE(link.IsOpen());
}

TEST(LinkOpen, OpensUnderDevRaisesLinesAndSendsEightIdleSlots) {
    auto line = std::make_shared<FakeLine>();
    OWire link{FakePortOpener(line)};
    EXPECT_EQ(link.Open("pts/3"), 42);
    EXPECT_EQ(line->opened_path, "/dev/pts/3");
    EXPECT_EQ(line->baud, 115200);
    EXPECT_TRUE(line->modem_lines);
    EXPECT_EQ(line->written, Bytes(8, 0xFF));
    EXPECT_TRUE(line->received.empty());
    EXPECT_EQ(LastError(), kErrNone);
}

TEST(LinkOpen, SilentAdapterStillOpensAfterTheFirstMissingEcho) {
    auto line = std::make_shared<FakeLine>();
    line->echo = [](const Bytes&, int) { return Bytes{}; };
    OWire link{FakePortOpener(line)};
    EXPECT_EQ(link.Open("ttyUSB0"), 42);
    EXPECT_EQ(line->written, Bytes(1, 0xFF));
    EXPECT_EQ(LastError(), kErrNone);
}

TEST(LinkOpen, OpenerFailureLeavesLinkClosed) {
    auto line = std::make_shared<FakeLine>();
    line->refuse_open = true;
    OWire link{FakePortOpener(line)};
    EXPECT_EQ(link.Open("ttyUSB0"), 0);
    EXPECT_EQ(LastError(), kErrNoPort);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(LinkTest, CloseTwiceAndOperationsWithoutPort) {
    EXPECT_TRUE(link.Close());
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_FALSE(line->modem_lines);
    EXPECT_FALSE(line->open);
    EXPECT_FALSE(link.Close());
    EXPECT_EQ(LastError(), kErrNoPort);

    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrNoPort);
    EXPECT_FALSE(link.WriteBytes(0x55));
    EXPECT_EQ(LastError(), kErrNoPort);
    EXPECT_EQ(link.ReadBit(true, true, true), 1);
    EXPECT_EQ(LastError(), kErrNoPort);
    uint8_t buffer[2] = {};
    link.ReadBytes(buffer, 2);
    EXPECT_EQ(LastError(), kErrNoPort);
}

TEST_F(LinkTest, OpenAgainClosesThePreviousPort) {
    EXPECT_EQ(link.Open(""), 0);
    EXPECT_FALSE(line->open);
    EXPECT_FALSE(line->modem_lines);
}

TEST_F(LinkTest, SetSpeedAcceptsOnlyTheTwoRates) {
    EXPECT_FALSE(link.SetSpeed(4800));
    EXPECT_EQ(LastError(), kErrSpeed);
    EXPECT_TRUE(line->speed_changes.empty());
    EXPECT_EQ(line->baud, 115200);

    SetLastError(kErrNone);
    EXPECT_TRUE(link.SetSpeed(9600));
    EXPECT_EQ(line->baud, 9600);
    EXPECT_EQ(LastError(), kErrNone);

    line->refuse_speed = true;
    EXPECT_FALSE(link.SetSpeed(115200));
    EXPECT_EQ(LastError(), kErrSpeed);
    EXPECT_EQ(line->baud, 9600);
}

TEST_F(LinkTest, ResetSeesPresenceAndSwitchesSpeedAroundTheResetByte) {
    line->received = {0x11, 0x22};  // stale bytes must not be taken as the echo
    EXPECT_TRUE(link.Reset());
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(line->written, Bytes{0xF0});
    EXPECT_EQ(line->speed_changes, (std::vector<int>{9600, 115200}));
}

TEST_F(LinkTest, ResetEchoes) {
    struct Case {
        Bytes echo;
        bool presence;
        int32_t error;
    };
    const Case cases[] = {
        {{0xF0}, false, kErrNoPresence},                       // nobody answered
        {{0x00}, true, kErrNone},                              // a bus held low counts as presence
        {{0x90}, true, kErrNone},        {{}, false, kErrIO},  // no echo within 32 ms
        {{0xE0, 0xE0}, false, kErrIO},                         // two bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.echo));
        line->echo = ResetEcho(c.echo);
        line->speed_changes.clear();
        EXPECT_EQ(link.Reset(), c.presence);
        EXPECT_EQ(LastError(), c.error);
        EXPECT_TRUE(line->received.empty());
        EXPECT_EQ(line->speed_changes, (std::vector<int>{9600, 115200}));
        EXPECT_EQ(line->baud, 115200);
    }
}

TEST_F(LinkTest, ResetWithoutEchoWaitsItsFullTimeout) {
    line->echo = ResetEcho({});
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.Reset());
    EXPECT_GE(MsSince(start), 32);
}

TEST_F(LinkTest, ResetWhoseByteIsNotWrittenReturnsToFullSpeed) {
    line->write_limit = 0;
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_EQ(line->baud, 115200);
}

TEST_F(LinkTest, ResetThatCannotChangeSpeedWritesNothing) {
    line->refuse_speed = true;
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrSpeed);
    EXPECT_TRUE(line->written.empty());
    EXPECT_EQ(line->baud, 115200);
}

TEST_F(LinkTest, ReadBitDecodesTheEcho) {
    line->echo = [](const Bytes&, int) { return Bytes{0xFF}; };
    EXPECT_EQ(link.ReadBit(true, true, true), 1);
    EXPECT_EQ(LastError(), kErrNone);
    line->echo = [](const Bytes&, int) { return Bytes{0xFE}; };  // a device stretched the slot
    EXPECT_EQ(link.ReadBit(true, true, true), 0);
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(line->written, Bytes(2, 0xFF));
}

TEST_F(LinkTest, ReadBitWithoutEchoReadsOneWithError) {
    line->echo = [](const Bytes&, int) { return Bytes{}; };
    EXPECT_EQ(link.ReadBit(true, true, true), 1);
    EXPECT_EQ(LastError(), kErrIO);
}

TEST_F(LinkTest, ReadBitFlushesStaleBytesFirst) {
    line->received = {0x00, 0x00};
    EXPECT_EQ(link.ReadBit(true, true, true), 1);
    EXPECT_EQ(LastError(), kErrNone);
}

TEST_F(LinkTest, ReadBitWhoseSlotIsNotWrittenFails) {
    line->write_limit = 0;
    EXPECT_EQ(link.ReadBit(true, true, true), 0);
    EXPECT_EQ(LastError(), kErrIO);
}

TEST_F(LinkTest, WriteBitSendsOneSlotAndConsumesItsEcho) {
    link.WriteBit(0, true, true);
    link.WriteBit(1, true, true);
    EXPECT_EQ(line->written, (Bytes{0x00, 0xFF}));
    EXPECT_TRUE(line->received.empty());
    link.WriteBit(1, true, false);
    EXPECT_EQ(line->received.size(), 1u);
}

TEST_F(LinkTest, WriteBitWhoseSlotIsNotWrittenFailsWithoutWaiting) {
    line->write_limit = 0;
    SetLastError(kErrNone);
    auto start = std::chrono::steady_clock::now();
    link.WriteBit(1, true, true);
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_LT(MsSince(start), 35);
    EXPECT_EQ(line->input_waits, 0);
}

// With kLinkSleep the waits sleep in the port's wait for input, which a late
// echo ends at once; without it they never sleep. Both wait the full timeout for
// an echo that never comes.
TEST_F(LinkTest, WaitsSleepInThePortOnlyWithTheSleepOption) {
    line->echo = [](const Bytes&, int) { return Bytes{}; };
    for (uint8_t options : {uint8_t{0}, kLinkSleep}) {
        SCOPED_TRACE(static_cast<int>(options));
        LinkOptions = options;
        line->input_waits = 0;
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(link.WriteBytes(0x44));
        EXPECT_GE(MsSince(start), 38);
        EXPECT_EQ(line->input_waits > 0, options == kLinkSleep);
    }
    LinkOptions = 0;
}

TEST_F(LinkTest, WriteBytesSendsLeastSignificantBitFirst) {
    const uint8_t data[] = {0xA5, 0x01};
    EXPECT_TRUE(link.WriteBytes(data, 2));
    EXPECT_EQ(LastError(), kErrNone);
    const Bytes slots = {0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0xFF,
                         0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(line->written, slots);
    EXPECT_TRUE(line->received.empty());
}

TEST_F(LinkTest, WriteBytesWithSevenOfEightEchoesFailsAndFlushes) {
    line->echo = [](const Bytes& written, int) {
        return Bytes(written.begin(), written.end() - 1);
    };
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.WriteBytes(0x44));
    EXPECT_GE(MsSince(start), 38);
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_TRUE(line->received.empty());
}

TEST_F(LinkTest, WriteBytesWithTooManyEchoesFails) {
    line->echo = [](const Bytes& written, int) {
        Bytes echo = written;
        echo.push_back(0xFF);
        return echo;
    };
    EXPECT_FALSE(link.WriteBytes(0x44));
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_TRUE(line->received.empty());
}

TEST_F(LinkTest, WriteBytesShortWriteFails) {
    line->write_limit = 5;
    EXPECT_FALSE(link.WriteBytes(0x44));
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_TRUE(line->received.empty());
}

TEST_F(LinkTest, ReadBytesAssemblesBitsLeastSignificantFirst) {
    const Bytes answer = {0x3C, 0x81};
    size_t next = 0;
    line->echo = [&](const Bytes& written, int) {
        Bytes echo;
        for (size_t i = 0; i < written.size(); ++i, ++next) {
            bool one = (answer[next / 8] >> (next % 8)) & 1;
            echo.push_back(one ? 0xFF : 0xF8);
        }
        return echo;
    };
    uint8_t buffer[2] = {};
    link.ReadBytes(buffer, 2);
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(Bytes(buffer, buffer + 2), answer);
    EXPECT_EQ(line->written, Bytes(16, 0xFF));
}

TEST_F(LinkTest, ReadBytesWithShortEchoFailsAndLeavesBufferAlone) {
    line->echo = [](const Bytes& written, int) {
        return Bytes(written.begin() + 3, written.end());
    };
    uint8_t buffer[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    link.ReadBytes(buffer, 9);
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_TRUE(line->received.empty());
    EXPECT_EQ(buffer[0], 7);
}

TEST_F(LinkTest, SleepingPollsGiveTheSameResults) {
    LinkOptions = kLinkSleep;
    EXPECT_TRUE(link.Reset());
    EXPECT_TRUE(link.WriteBytes(0xCC));
    EXPECT_EQ(link.ReadBit(true, true, true), 1);
    line->echo = [](const Bytes&, int) { return Bytes{}; };
    EXPECT_FALSE(link.WriteBytes(0xCC));
    EXPECT_EQ(LastError(), kErrIO);
    LinkOptions = 0;
}

}  // namespace
}  // namespace flextor::onewire
