// The plant model at the edges of its physics: the boiling plateau, the head
// climbing as the spirit is drawn off, everything cooling with the outputs off.
#include "plant/plant_model.h"

#include <gtest/gtest.h>

#include "core/logic/refresh_outputs.h"
#include "plant/scenario.h"

namespace flextor::plant {
namespace {

constexpr double kHour = 3600;

TEST(PlantModel, Column1BoilsAndItsHeadHoldsAPlateauBelowTheColumnThreshold) {
    PlantParameters p;
    PlantModel plant(p);
    plant.Advance(kHour / 2, kBitCol1Run);
    ASSERT_TRUE(plant.Column1Boiling());
    const double first = plant.Temperature(Role::kColumn);
    plant.Advance(kHour / 2, kBitCol1Run);
    for (double head : {first, plant.Temperature(Role::kColumn)}) {
        EXPECT_GE(head, 78.2);
        EXPECT_LT(head, 80.0);  // d3_Limit's default: stabilisation must be able to end
    }
    EXPECT_NEAR(plant.Temperature(Role::kColumn), first, 1.0);
    EXPECT_DOUBLE_EQ(plant.BoilerStrength(), p.strength);  // nothing drawn, nothing lost
    // The condenser and the tube warm a little, far from their alarm thresholds.
    EXPECT_GT(plant.Temperature(Role::kCondenser), p.ambient + 5);
    EXPECT_LT(plant.Temperature(Role::kCondenser), 40.0);
}

TEST(PlantModel, DrawingTheSpiritOffTakesTheHeadPastTheThresholdTowardsWater) {
    PlantParameters p;
    PlantModel plant(p);
    plant.Advance(kHour / 2, kBitCol1Run);
    const double plateau = plant.Temperature(Role::kColumn);
    plant.Advance(60, kBitCol1Run | kBitValve2);
    EXPECT_LT(plant.Temperature(Role::kColumn), plateau);  // an open valve cools the head

    double last = 0;
    for (int minute = 0; minute < 600 && plant.Temperature(Role::kColumn) < 95; ++minute) {
        plant.Advance(60, kBitCol1Run | kBitValve2 | kBitValve3);
        last = plant.Temperature(Role::kColumn);
    }
    EXPECT_GE(last, 95.0);
    EXPECT_LT(plant.BoilerStrength(), 0.05);
    EXPECT_GT(plant.DrawnMl(), p.boiler_ml * p.strength);  // the tails carry water too
}

TEST(PlantModel, WithTheOutputsOffEverythingCoolsTowardsAmbient) {
    PlantParameters p;
    p.boiler_start = 90;
    p.head_start = 79;
    p.pot_start = 90;
    p.sensor6_start = 60;
    p.mash_rest = p.ambient;
    p.mash_start = 30;
    PlantModel plant(p);
    const Role roles[] = {Role::kColumn, Role::kStill, Role::kMash, Role::kSensor6};
    double before[4];
    for (int i = 0; i < 4; ++i) {
        before[i] = plant.Temperature(roles[i]);
    }
    for (int hour = 0; hour < 4; ++hour) {
        plant.Advance(kHour, 0);
        for (int i = 0; i < 4; ++i) {
            const double now = plant.Temperature(roles[i]);
            EXPECT_LT(now, before[i]) << RoleName(roles[i]) << " hour " << hour;
            EXPECT_GT(now, p.ambient) << RoleName(roles[i]);
            before[i] = now;
        }
    }
    EXPECT_FALSE(plant.Column1Boiling());
    EXPECT_NEAR(plant.Temperature(Role::kCondenser), p.ambient, 0.01);
}

}  // namespace
}  // namespace flextor::plant
