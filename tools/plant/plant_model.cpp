#include "plant/plant_model.h"

#include <algorithm>
#include <cmath>

#include "core/logic/refresh_outputs.h"

namespace flextor::plant {
namespace {

constexpr double kPureBoil = 78.2;  // ethanol
constexpr double kWaterBoil = 100.0;
constexpr double kAzeotrope = 0.96;
constexpr double kMaxStep = 0.5;        // s of plant time per integration step
constexpr double kBoilerRemnant = 200;  // ml never drawn off

int Index(Role role) {
    return static_cast<int>(role);
}

// 0 for the strongest mixture, 1 for water.
double Weakness(double strength) {
    return 1.0 - std::clamp(strength, 0.0, kAzeotrope) / kAzeotrope;
}

// Moves value towards target with time constant lag over h seconds.
double Follow(double value, double target, double lag, double h) {
    return lag <= 0 ? target : value + (target - value) * (1.0 - std::exp(-h / lag));
}

int OpenValves(uint16_t outputs) {
    return ((outputs & kBitValve1) != 0) + ((outputs & kBitValve2) != 0) +
           ((outputs & kBitValve3) != 0);
}

}  // namespace

PlantModel::PlantModel(const PlantParameters& parameters) : p_(parameters) {
    t_.fill(p_.ambient);
    t_[Index(Role::kColumn)] = p_.head_start;
    t_[Index(Role::kStill)] = p_.pot_start;
    t_[Index(Role::kMash)] = p_.mash_start;
    t_[Index(Role::kSensor6)] = p_.sensor6_start;
    boiler_ = p_.boiler_start;
    boiler_ml_ = std::max(p_.boiler_ml, kBoilerRemnant);
    alcohol_ml_ = boiler_ml_ * std::clamp(p_.strength, 0.0, kAzeotrope);
}

PlantState PlantModel::State() const {
    return {t_, boiler_, boiler_ml_, alcohol_ml_, overheat_, drawn_ml_, boiling1_, boiling2_};
}

void PlantModel::Restore(const PlantState& state) {
    t_ = state.temperatures;
    boiler_ = state.boiler;
    boiler_ml_ = state.boiler_ml;
    alcohol_ml_ = state.alcohol_ml;
    overheat_ = state.overheat;
    drawn_ml_ = state.drawn_ml;
    boiling1_ = state.boiling1;
    boiling2_ = state.boiling2;
}

double PlantModel::BoilingPoint(double strength) {
    return kPureBoil + (kWaterBoil - kPureBoil) * std::pow(Weakness(strength), 3);
}

double PlantModel::HeadPlateau(double strength) {
    // The column concentrates what it gets: the head stays near the azeotrope's
    // temperature until little alcohol is left.
    return kPureBoil + 0.1 + (kWaterBoil - kPureBoil - 0.1) * std::pow(Weakness(strength), 12);
}

double PlantModel::BoilerStrength() const {
    return alcohol_ml_ / boiler_ml_;
}

double PlantModel::Temperature(Role role) const {
    return t_[Index(role)];
}

void PlantModel::Force(Role role, const ForcedTemperature& forced) {
    forced_[Index(role)] = forced;
}

void PlantModel::Advance(double seconds, uint16_t outputs) {
    while (seconds > 0) {
        const double h = std::min(seconds, kMaxStep);
        Step(h, outputs);
        seconds -= h;
    }
}

void PlantModel::Step(double h, uint16_t outputs) {
    const std::array<double, kRoleCount> before = t_;
    StepColumn1(h, outputs);
    StepOthers(h, outputs);
    // A forced temperature replaces what the plant would do to that sensor.
    for (int role = 0; role < kRoleCount; ++role) {
        const ForcedTemperature& forced = forced_[role];
        if (forced.on) {
            const double step = forced.rate * h;
            t_[role] = std::clamp(forced.target, before[role] - step, before[role] + step);
        }
    }
}

double PlantModel::Cool(double temperature, double h) const {
    return temperature - p_.heat_loss * (temperature - p_.ambient) * h;
}

void PlantModel::StepColumn1(double h, uint16_t outputs) {
    const bool heating = (outputs & kBitCol1Run) != 0;
    const double boil = BoilingPoint(BoilerStrength());
    boiler_ = Cool(boiler_, h) + (heating ? p_.boiler_heating * h : 0.0);
    boiling1_ = heating && boiler_ >= boil;
    boiler_ = std::min(boiler_, boil);

    const int valves = boiling1_ ? OpenValves(outputs) : 0;
    double& head = t_[Index(Role::kColumn)];
    if (valves > 0) {
        // What comes off is weaker the hotter the head: pure at the plateau, water at 100.
        const double product =
            kAzeotrope * std::clamp((kWaterBoil - head) / (kWaterBoil - kPureBoil - 0.3), 0.0, 1.0);
        const double ml =
            std::min(valves * p_.takeoff_ml_h / 3600.0 * h, boiler_ml_ - kBoilerRemnant);
        alcohol_ml_ = std::max(0.0, alcohol_ml_ - product * ml);
        boiler_ml_ -= ml;
        drawn_ml_ += ml;
        overheat_ = std::max(0.0, overheat_ - 3 * p_.overheat_rate * h);
    } else if (boiling1_) {
        overheat_ = std::min(p_.overheat_max, overheat_ + p_.overheat_rate * h);
    } else {
        overheat_ = std::max(0.0, overheat_ - p_.overheat_rate * h);
    }

    double target = p_.ambient + 0.15 * (boiler_ - p_.ambient);
    if (boiling1_) {
        target = HeadPlateau(BoilerStrength()) + overheat_ - (valves > 0 ? p_.valve_cooling : 0.0);
    }
    head = Follow(head, target, boiling1_ ? p_.head_lag : 1.0 / p_.heat_loss, h);
}

void PlantModel::StepOthers(double h, uint16_t outputs) {
    double& pot = t_[Index(Role::kStill)];
    pot = Cool(pot, h);
    if ((outputs & kBitCol2Run) != 0) {
        pot = std::min(p_.pot_boil, pot + p_.pot_heating * h);
    }
    boiling2_ = (outputs & kBitCol2Run) != 0 && pot >= p_.pot_boil - 0.05;

    double& mash = t_[Index(Role::kMash)];
    mash = Follow(mash, p_.mash_rest, p_.mash_lag, h);
    if ((outputs & kBitCol3Lower) != 0) {
        mash += p_.mash_control * h;
    }
    if ((outputs & kBitCol3Upper) != 0) {
        mash -= p_.mash_control * h;
    }

    const bool boiling = boiling1_ || boiling2_;
    double& condenser = t_[Index(Role::kCondenser)];
    condenser =
        Follow(condenser, p_.ambient + (boiling ? p_.condenser_rise : 0.0), p_.guard_lag, h);
    double& tube = t_[Index(Role::kTube)];
    tube = Follow(tube, p_.ambient + (boiling ? p_.tube_rise : 0.0), p_.guard_lag, h);

    double& sensor6 = t_[Index(Role::kSensor6)];
    sensor6 = Cool(sensor6, h) + ((outputs & kBitSensor6) != 0 ? p_.sensor6_heating * h : 0.0);
}

}  // namespace flextor::plant
