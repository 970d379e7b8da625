// Searches where the bus changes between two slots of a pass: the simulator's bus
// model answers behind the fake port, so the test decides exactly when.
#include <gtest/gtest.h>

#include "owsim/bus_model.h"
#include "platform/onewire/fake_port.h"
#include "platform/onewire/rom_search.h"

namespace flextor::onewire {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SearchOnChangingBus, DeviceLeavingInTheMiddleOfAPassKeepsTheDevicesFoundBefore) {
    owsim::BusModel model;
    const RomCode first = owsim::MakeRom(0x28, 0x0);
    const RomCode leaving = owsim::MakeRom(0x28, 0x2);  // parts from first at bit 10
    EXPECT_TRUE(model.Add(first, 250));
    EXPECT_TRUE(model.Add(leaving, 250));

    // In the second pass the search follows the leaving device past bit 10; it is
    // gone from bit 20 on, so nobody answers there: bit and complement read 1 and 1.
    int walk_slots = 0;
    auto line = std::make_shared<test::FakeLine>();
    line->echo = [&](const Bytes& written, int baud) {
        if (model.Searches() == 2 && (walk_slots += static_cast<int>(written.size())) > 3 * 19) {
            model.Find(leaving)->Info().absent = true;
        }
        std::string echo = model.Answer(written.data(), written.size(), baud);
        return Bytes(echo.begin(), echo.end());
    };
    OWire link{test::FakePortOpener(line)};
    ASSERT_NE(link.Open("ttyFAKE0"), 0);

    EXPECT_EQ(Search(link), SearchResult{first});
    EXPECT_EQ(LastError(), kErrSearchNoDevice);
    EXPECT_EQ(model.Searches(), 2);
}

TEST(SearchOnChangingBus, PresenceWithoutAnyDeviceInTheSearch) {
    auto line = std::make_shared<test::FakeLine>();  // presence, then every slot reads 1
    OWire link{test::FakePortOpener(line)};
    ASSERT_NE(link.Open("ttyFAKE0"), 0);
    EXPECT_TRUE(Search(link).empty());
    EXPECT_EQ(LastError(), kErrSearchNoDevice);
}

}  // namespace
}  // namespace flextor::onewire
