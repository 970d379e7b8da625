// Scenario files as the plant reads them, and a run of one on a simulated bus:
// the same seed gives the same readings, and faults come and go at their times.
#include "plant/plant_run.h"

#include <gtest/gtest.h>

#include <set>

#include "core/logic/refresh_outputs.h"
#include "plant/scenario.h"

namespace flextor::plant {
namespace {

const std::string kSensors =
    R"("sensors": [{"role": "mash", "serial": "5"}, {"serial": "7", "family": "10"},
                   {"role": "column", "serial": "3"}])";

TEST(Scenario, BadFilesAreRefusedNamingTheMemberAtFault) {
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"{", "not valid JSON"},
        {"{\"speed\": 0, " + kSensors + "}", "speed: out of range"},
        {"{\"speed\": \"10\", " + kSensors + "}", "speed: a number is expected"},
        {"{\"sensors\": []}", "sensors: a list of at least one sensor is expected"},
        {R"({"sensors": [{"role": "kettle", "serial": "1"}]})", "sensors[0].role: one of none, "},
        {R"({"sensors": [{"serial": "1234567890ABC"}]})", "sensors[0].serial: up to 12 hex"},
        {R"({"sensors": [{"serial": "1"}, {"serial": "01"}]})", "sensors[1]: the same device"},
        {"{\"plant\": {\"boil\": 1}, " + kSensors + "}", "plant.boil: unknown member"},
        {"{\"colour\": 1, " + kSensors + "}", "scenario.colour: unknown member"},
        {"{" + kSensors + R"(, "faults": [{"kind": "unplug", "sensor": "still"}]})",
         "faults[0].sensor: no sensor has this role"},
        {"{" + kSensors + R"(, "faults": [{"kind": "overheat", "sensor": "mash"}]})",
         "faults[0].to: a number is expected"},
        {"{" + kSensors + R"(, "faults": [{"kind": "adapter-out", "after": "kettle"}]})",
         "faults[0].after: one of column1, "},
        {"{" + kSensors + R"(, "faults": [{"kind": "dead-heater", "output": "valve1"}]})",
         "faults[0].output: a run line"},
        {"{" + kSensors + R"(, "faults": [{"kind": "jump", "sensor": "mash"}]})",
         "faults[0].by: a number is expected"},
    };
    for (const Case& c : cases) {
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, &scenario, &error)) << c.text;
        EXPECT_TRUE(error.starts_with(c.message)) << c.text << "\n" << error;
    }
}

TEST(Scenario, SensorsAreOrderedByRoleThoseWithoutOneLast) {
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("{\"seed\": 9, " + kSensors + "}", &scenario, &error)) << error;
    ASSERT_EQ(scenario.sensors.size(), 3u);
    EXPECT_EQ(scenario.sensors[0].role, Role::kColumn);
    EXPECT_EQ(scenario.sensors[1].role, Role::kMash);
    EXPECT_EQ(scenario.sensors[2].role, Role::kNone);
    EXPECT_EQ(scenario.sensors[2].family, 0x10);
    EXPECT_EQ(scenario.seed, 9u);
    EXPECT_EQ(scenario.speed, 1.0);
}

class PlantRunTest : public ::testing::Test {
  protected:
    Scenario Load(const std::string& faults) {
        Scenario scenario;
        std::string error;
        EXPECT_TRUE(
            ParseScenario("{" + kSensors + ", \"faults\": [" + faults + "]}", &scenario, &error))
            << error;
        return scenario;
    }

    static std::vector<int> Readings(const owsim::SimBus& bus) {
        std::vector<int> tenths;
        for (const owsim::DeviceInfo& device : bus.Devices()) {
            tenths.push_back(device.tenths);
        }
        return tenths;
    }

    std::vector<bool> adapter;  // each call of the adapter switch
};

TEST_F(PlantRunTest, TheSameSeedGivesTheSameReadingsAndAnotherSeedOthers) {
    Scenario scenario = Load("");
    owsim::SimBus first, second, third;
    PlantRun a(scenario, first, {}), b(scenario, second, {});
    scenario.seed = 2;
    PlantRun c(scenario, third, {});
    bool differs = false;
    for (int step = 0; step < 200; ++step) {
        for (PlantRun* run : {&a, &b, &c}) {
            run->Advance(5, kBitCol1Run | kBitCol3Lower);
        }
        ASSERT_EQ(Readings(first), Readings(second)) << step;
        differs = differs || Readings(first) != Readings(third);
    }
    EXPECT_TRUE(differs);
}

TEST_F(PlantRunTest, FaultsCountFromTheFirstRiseOfTheirOutputAndEndAtTheirTime) {
    const Scenario scenario = Load(
        R"({"kind": "unplug", "sensor": "column", "after": "column1", "at": 10, "until": 20},
           {"kind": "adapter-out", "at": 5})");
    owsim::SimBus bus;
    PlantRun run(scenario, bus, [&](bool plugged) { adapter.push_back(plugged); });
    auto absent = [&] { return bus.Devices()[0].absent; };

    run.Advance(30, 0);  // column 1 not started yet: the unplug waits
    EXPECT_FALSE(absent());
    EXPECT_EQ(adapter, std::vector<bool>{false});  // counted from the plant's start
    run.Advance(1, kBitCol1Run);                   // rises at 30
    run.Advance(8, 0);
    EXPECT_FALSE(absent());
    run.Advance(2, 0);
    EXPECT_TRUE(absent());
    run.Advance(10, kBitCol1Run);
    EXPECT_FALSE(absent());
    EXPECT_EQ(adapter, std::vector<bool>{false});
}

TEST_F(PlantRunTest, ADeadHeaterAStuckAndAJumpingSensorComeAndGoAtTheirTimes) {
    const Scenario scenario = Load(
        R"({"kind": "dead-heater", "output": "column2", "until": 40},
           {"kind": "stuck", "sensor": "mash", "at": 10, "until": 30},
           {"kind": "jump", "sensor": "column", "at": 20, "until": 22, "by": 40})");
    owsim::SimBus bus;
    PlantRun run(scenario, bus, nullptr);
    std::set<int> mash;
    std::vector<int> column;
    for (int second = 1; second <= 60; ++second) {
        run.Advance(1, kBitCol2Run);
        if (second >= 10 && second < 30) {
            mash.insert(Readings(bus)[1]);  // jitter would vary it: it stays put
        }
        column.push_back(Readings(bus)[0]);
        if (second == 40) {
            EXPECT_NEAR(run.Model().Temperature(Role::kStill), 20.0, 0.2);  // barely warmed
        }
    }
    EXPECT_EQ(mash.size(), 1u);
    EXPECT_GT(run.Model().Temperature(Role::kStill), 22.0);
    EXPECT_GE(column[20] - column[18], 398);  // 40 °C off while it lasts, then back
    EXPECT_LE(std::abs(column[22] - column[18]), 2);
}

}  // namespace
}  // namespace flextor::plant
