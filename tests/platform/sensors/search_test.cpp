// A bus search asked for by the GUI and handed back to it, with the real thread
// on a simulated bus.
#include <gtest/gtest.h>

#include "core/state/program_state.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

class SensorSearchTest : public PollerTest {
  protected:
    // The GUI has taken the search result.
    void TakeSearchResult() {
        Request(0, [](SensorShareBlock& share) {
            share.Command &= static_cast<uint8_t>(~kCmdSearchResults);
        });
    }

    std::vector<int64_t> ListedIDs() {
        std::vector<int64_t> ids;
        for (const SensorParam& row : Last().sensors) {
            ids.push_back(row.ID);
        }
        return ids;
    }
};

TEST_F(SensorSearchTest, NewAndMissingDevicesAreHandedToTheGui) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    owsim::RomCode gone = AddMissingRow(2, 4);
    owsim::RomCode added = bus.AddSensor(owsim::kFamilyDS18B20, 3, 200);
    const owsim::RomCode other = owsim::MakeRom(owsim::kFamilySerialNumber, 4);
    ASSERT_TRUE(bus.AddDevice(other));
    StartPolling();
    Request(kCmdSearch);
    RunCycles(1);

    SeenExchange result = Last();
    EXPECT_EQ(result.command, kCmdSearchResults);  // the unread readings went with the list
    ASSERT_EQ(result.sensors.size(), 2u);
    EXPECT_EQ(result.sensors[0].ID, ID(added));
    EXPECT_EQ(result.sensors[1].ID, ID(other));
    EXPECT_EQ(result.sensors[0].Flag, 0);
    EXPECT_EQ(result.sensors[0].Use, 0);
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Найдено 3  '1-Wire' устройства");
    EXPECT_EQ(messages[0].level, 0);

    // While the GUI has not taken the result, readings do not replace it.
    RunCycles(2);
    EXPECT_EQ(Last().command, kCmdSearchResults);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(added), ID(other)}));

    TakeSearchResult();
    RunCycles(1);
    EXPECT_EQ(Last().command, kCmdFreshData);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(column), ID(gone), ID(added), ID(other)}));
    EXPECT_EQ(LastRow(column).Flag & kFlagNotFound, 0);
    EXPECT_EQ(LastRow(column).Termo, 785);  // still polled
    EXPECT_NE(LastRow(gone).Flag & kFlagNotFound, 0);
    EXPECT_EQ(LastRow(added).Flag, kFlagTemperatureSensor);
    EXPECT_EQ(LastRow(other).Flag, 0);
}

TEST_F(SensorSearchTest, SearchFindingExactlyTheKnownRowsHandsOverReadingsAsUsual) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    owsim::RomCode still = AddSensor(2, 650, 4);
    StartPolling();
    RunCycles(1);
    Request(kCmdSearch);
    RunCycles(1);
    EXPECT_EQ(Last().command, kCmdFreshData);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(column), ID(still)}));
    EXPECT_EQ(LastRow(still).Flag & kFlagNotFound, 0);
    EXPECT_EQ(LastRow(still).Termo, 650);
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Найдено 2  '1-Wire' устройства");
}

TEST_F(SensorSearchTest, SearchWithTheTableAppliedInTheSameCycleKeepsTheAppliedRows) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    owsim::RomCode still = AddSensor(2, 650, 4);
    AddMissingRow(3, 5);
    owsim::RomCode added = bus.AddSensor(owsim::kFamilyDS18B20, 4, 200);
    StartPolling();
    // "Поиск датчиков", then "ОК" before the thread came round: the window's table
    // gives the column sensor role 1 and no longer holds the missing mash sensor.
    Request(kCmdSearch | kCmdNewTable, [&](SensorShareBlock& share) {
        share.Sensor.erase(share.Sensor.begin() + 2);
        share.Sensor[0].Use = 1;
    });
    RunCycles(1);
    EXPECT_EQ(Last().command, kCmdSearchResults);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(added)}));

    TakeSearchResult();
    RunCycles(2);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(column), ID(still), ID(added)}));
    EXPECT_EQ(LastRow(column).Use, 1);
    EXPECT_EQ(LastRow(column).Termo, 785);
    EXPECT_EQ(LastRow(still).Termo, 650);
}

TEST_F(SensorSearchTest, SecondSearchBeforeTheGuiTookTheFirstKeepsBothFinds) {
    AddSensor(1, 785, 3);
    owsim::RomCode first = bus.AddSensor(owsim::kFamilyDS18B20, 2, 200);
    StartPolling();
    Request(kCmdSearch);
    RunCycles(1);
    owsim::RomCode second = bus.AddSensor(owsim::kFamilyDS18B20, 3, 300);
    Request(kCmdSearch);
    RunCycles(1);
    EXPECT_EQ(Last().command, kCmdSearchResults);
    EXPECT_EQ(ListedIDs(), (std::vector<int64_t>{ID(first), ID(second)}));
}

}  // namespace
}  // namespace flextor::test
