// ROM searches on the simulated bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/onewire/rom_search.h"
#include "platform/onewire/sim_fixture.h"

namespace flextor::onewire::test {
namespace {

using SearchTest = SimulatedBusTest;

std::set<RomCode> AsSet(const SearchResult& result) {
    return {result.begin(), result.end()};
}

TEST_F(SearchTest, EmptyBusFindsNothing) {
    EXPECT_TRUE(Search(link).empty());
    EXPECT_EQ(LastError(), kErrNoPresence);
    EXPECT_EQ(bus.Searches(), 0);
}

TEST_F(SearchTest, OneDevice) {
    RomCode rom = Sensor(0x28, 0x0000041A2B3C);
    EXPECT_EQ(Search(link), SearchResult{rom});
    EXPECT_EQ(LastError(), kErrSearchDone);
    EXPECT_EQ(bus.Searches(), 1);
}

TEST_F(SearchTest, TwoDevicesTakeTheZeroBranchFirst) {
    RomCode one = Sensor(0x28, 0x2);  // parts from the other at bit 10: 1 here
    RomCode zero = Sensor(0x28, 0x0);
    EXPECT_EQ(Search(link), (SearchResult{zero, one}));
    EXPECT_EQ(LastError(), kErrSearchDone);
    EXPECT_EQ(bus.Searches(), 2);
}

TEST_F(SearchTest, TwentyDevicesOfThreeFamilies) {
    std::set<RomCode> added;
    const uint64_t last_serial_bit = 1ull << 47;
    for (uint64_t serial : {0x0ull, 0x1ull, 0x1A2B3Cull, 0x123456789ABCull}) {
        added.insert(Sensor(0x28, serial));
        added.insert(Sensor(0x28, serial | last_serial_bit));  // differs in its last serial bit
    }
    for (uint64_t serial = 1; serial <= 6; ++serial) {
        added.insert(Sensor(0x10, serial * 0x10101));
        added.insert(Sensor(0x01, serial << 40));
    }
    ASSERT_EQ(added.size(), 20u);
    SearchResult found = Search(link);
    EXPECT_EQ(found.size(), 20u);
    EXPECT_EQ(AsSet(found), added);
    EXPECT_EQ(LastError(), kErrSearchDone);
    EXPECT_EQ(bus.Searches(), 20);
}

// A valid code whose CRC byte has its top bit set, so that its twin with that
// bit cleared comes first in the search.
RomCode CodeWithHighLastBit() {
    for (uint64_t serial = 1;; ++serial) {
        RomCode rom = owsim::MakeRom(0x28, serial);
        if (rom[7] & 0x80) {
            return rom;
        }
    }
}

TEST_F(SearchTest, CodesDifferingOnlyInTheLastBitAndZeroCodesAreDroppedAndSearchGoesOn) {
    RomCode valid = CodeWithHighLastBit();
    RomCode twin = valid;
    twin[7] &= 0x7F;  // the same code with a wrong CRC
    RomCode other = Sensor(0x10, 0xABCDEF);
    ASSERT_TRUE(bus.AddDevice(twin));
    ASSERT_TRUE(bus.AddDevice(valid));
    ASSERT_TRUE(bus.AddDevice(RomCode{}));

    SearchResult found = Search(link);
    EXPECT_EQ(AsSet(found), (std::set<RomCode>{valid, other}));
    EXPECT_EQ(LastError(), kErrSearchDone);
    EXPECT_EQ(bus.Searches(), 4);
}

TEST_F(SearchTest, ShortedBusEndsTheSearchAfterAFewPhantomPasses) {
    Sensor(0x28, 0x5);
    bus.SetShorted(true);
    EXPECT_TRUE(Search(link).empty());
    EXPECT_EQ(bus.Resets(), kMaxDroppedCodesInARow);
}

TEST_F(SearchTest, SilentAdapterEndsTheSearchAtOnce) {
    Sensor(0x28, 0x5);
    bus.SetSilent(true);
    EXPECT_TRUE(Search(link).empty());
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_EQ(bus.Resets(), 1);
    EXPECT_EQ(Waiting(), 0);
}

TEST_F(SearchTest, LostEchoKeepsTheDevicesFoundBefore) {
    RomCode first = Sensor(0x28, 0x0);
    Sensor(0x28, 0x1);
    Sensor(0x28, 0x3);
    // A pass is a command block of 8 slots and 64 bits of 3 slots each: lose the
    // echo of the second pass's 7th bit read.
    bus.SetDropEvery(8 + 64 * 3 + 8 + 19);
    SearchResult found = Search(link);
    EXPECT_EQ(found, SearchResult{first});
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_EQ(Waiting(), 0);
}

// Slot by slot, each slot's echo held by the adapter for a millisecond.
TEST_F(SearchTest, ThroughAnAdapterWithLatencyAndSleepingWaits) {
    RomCode one = Sensor(0x28, 0x2);
    RomCode zero = Sensor(0x28, 0x0);
    bus.SetLineTime(true);
    bus.SetLatencyUs(1000);
    LinkOptions = kLinkSleep;
    EXPECT_EQ(Search(link), (SearchResult{zero, one}));
    EXPECT_EQ(LastError(), kErrSearchDone);
    LinkOptions = 0;
}

TEST_F(SearchTest, RestoresTheLinkOptions) {
    Sensor(0x28, 0x5);
    LinkOptions = kLinkSleep;
    EXPECT_EQ(Search(link).size(), 1u);
    EXPECT_EQ(LinkOptions.load(), kLinkSleep);
    LinkOptions = 0;
}

TEST_F(SearchTest, ClosedLinkFindsNothing) {
    Sensor(0x28, 0x5);
    EXPECT_TRUE(link.Close());
    EXPECT_TRUE(Search(link).empty());
    EXPECT_EQ(LastError(), kErrNoPort);
}

}  // namespace
}  // namespace flextor::onewire::test
