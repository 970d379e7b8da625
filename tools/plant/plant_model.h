// The physics of the simulated plant: what the six sensor roles would read while
// the program's outputs switch the heaters, valves and mash controls. Rough, but
// with the shapes an operator knows from a real still:
//   - column 1's run line heats its boiler to the boiling point of what is in it;
//     then vapour reaches the column head, which settles on a plateau near 78 °C
//     while there is plenty of alcohol and climbs towards 100 °C as the take-off
//     valves draw it off; an open valve cools the head a little, a column left
//     without take-off overheats slowly by up to overheat_max;
//   - column 2's run line heats its pot towards its boiling point;
//   - column 3's upper output cools the mash and its lower output warms it, while
//     fermentation alone drifts it towards mash_rest;
//   - the condenser and the atmosphere tube warm a few degrees while a column boils;
//   - sensor 6's output heats the water around sensor 6, which otherwise cools;
//   - everything left alone cools towards the ambient temperature.
// Plant time is in seconds, temperatures in °C. The model has no randomness: the
// same outputs over the same times give the same temperatures.
#pragma once

#include <array>
#include <cstdint>

namespace flextor::plant {

// The sensor roles as the program numbers them.
enum class Role : int {
    kNone = 0,
    kTube = 1,       // "ав. ТСА", the atmosphere tube
    kCondenser = 2,  // "ав. Конденсатор", the emergency condenser
    kColumn = 3,     // "д. Колонна", column 1's head
    kStill = 4,      // "д. Куб", column 2's pot
    kMash = 5,       // "д. Брага", column 3
    kSensor6 = 6,
};
inline constexpr int kRoleCount = 7;  // kNone included

struct PlantParameters {
    double ambient = 20.0;
    // Column 1.
    double boiler_ml = 3000;       // liquid in the boiler at the start
    double strength = 0.40;        // its alcohol by volume, 0..0.96
    double boiler_start = 20.0;    // its temperature at the start
    double head_start = 20.0;      // the column head's at the start
    double boiler_heating = 0.12;  // °C/s the run line adds before the boil
    double heat_loss = 0.0006;     // 1/s: share of the excess over ambient lost per second
    double takeoff_ml_h = 1500;    // through one open valve
    double head_lag = 20;          // s: time constant of the head following the vapour
    double valve_cooling = 0.3;    // °C the head loses while a valve is open
    double overheat_rate = 0.004;  // °C/s the head gains without take-off while boiling
    double overheat_max = 1.0;     // °C
    // Column 2.
    double pot_start = 20.0;
    double pot_heating = 0.15;  // °C/s with its run line on
    double pot_boil = 98.0;
    // Column 3.
    double mash_start = 22.0;
    double mash_rest = 32.0;     // where fermentation alone takes the mash
    double mash_lag = 3000;      // s: time constant of that drift
    double mash_control = 0.01;  // °C/s an output warms or cools
    // Alarm sensors: the rise over ambient while a column boils, and its time constant.
    double condenser_rise = 8.0;
    double tube_rise = 3.0;
    double guard_lag = 60;
    // Sensor 6.
    double sensor6_start = 35.0;
    double sensor6_heating = 0.05;  // °C/s with its output on
};

// A temperature a fault forces on a role: it moves towards target at rate °C/s.
struct ForcedTemperature {
    bool on = false;
    double target = 0;
    double rate = 0;
};

// What the model carries from one step to the next: enough to stop a plant
// with the program (a power cut) and take it up again later.
struct PlantState {
    std::array<double, kRoleCount> temperatures{};  // by role
    double boiler = 0;
    double boiler_ml = 0;
    double alcohol_ml = 0;
    double overheat = 0;
    double drawn_ml = 0;
    bool boiling1 = false;
    bool boiling2 = false;
};

class PlantModel {
  public:
    explicit PlantModel(const PlantParameters& parameters);

    // Moves the plant on by seconds of plant time with the outputs given as the
    // program's output word (kBit... of core/logic/refresh_outputs.h).
    void Advance(double seconds, uint16_t outputs);

    double Temperature(Role role) const;
    PlantState State() const;
    void Restore(const PlantState& state);  // forced temperatures are left as they are
    void Force(Role role, const ForcedTemperature& forced);

    bool Column1Boiling() const { return boiling1_; }
    double BoilerStrength() const;  // alcohol by volume left in column 1's boiler
    double DrawnMl() const { return drawn_ml_; }

    // The boiling point of a mixture of this strength, and the temperature the head
    // of a column boiling it settles on.
    static double BoilingPoint(double strength);
    static double HeadPlateau(double strength);

  private:
    void Step(double h, uint16_t outputs);
    void StepColumn1(double h, uint16_t outputs);
    void StepOthers(double h, uint16_t outputs);
    double Cool(double temperature, double h) const;

    PlantParameters p_;
    std::array<double, kRoleCount> t_{};  // sensor temperatures by role
    std::array<ForcedTemperature, kRoleCount> forced_{};
    double boiler_ = 0;
    double boiler_ml_ = 0;
    double alcohol_ml_ = 0;
    double overheat_ = 0;
    double drawn_ml_ = 0;
    bool boiling1_ = false;
    bool boiling2_ = false;
};

}  // namespace flextor::plant
