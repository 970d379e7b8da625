// One run of a scenario on a simulated bus: the plant model moved on in plant
// time with the outputs the program drives, its temperatures handed to the
// bus's sensors (with a reading's jitter of a tenth, from the scenario's seed),
// and the scenario's faults staged when their time comes.
#pragma once

#include <functional>
#include <random>
#include <vector>

#include "owsim/sim_bus.h"
#include "plant/plant_model.h"
#include "plant/scenario.h"

namespace flextor::plant {

class PlantRun {
  public:
    // Pulls the adapter out (false) or plugs it in again (true); the run calls it
    // for kAdapterOut faults.
    using AdapterSwitch = std::function<void(bool plugged)>;

    // Puts the scenario's sensors on the bus at their first temperatures.
    PlantRun(const Scenario& scenario, owsim::SimBus& bus, AdapterSwitch adapter);

    // Takes up a plant stopped with the program: its saved state, then
    // cooled_seconds of plant time with every output off (the power cut).
    void TakeUp(const PlantState& state, double cooled_seconds);

    // Moves the plant on by seconds of plant time with the outputs seen now.
    void Advance(double seconds, uint16_t outputs);

    double Time() const { return time_; }
    const PlantModel& Model() const { return model_; }
    // The bus's ROM code of each scenario sensor, in the scenario's order.
    const std::vector<owsim::RomCode>& Roms() const { return roms_; }

  private:
    struct StagedFault {
        ScenarioFault fault;
        bool started = false;
        bool ended = false;
    };

    void Stage(StagedFault& staged);
    void Switch(const ScenarioFault& fault, bool on);
    void PushTemperatures();
    void SwitchReading(const ScenarioFault& fault, bool on);

    const Scenario& scenario_;
    owsim::SimBus& bus_;
    AdapterSwitch adapter_;
    PlantModel model_;
    std::mt19937 jitter_;
    std::vector<owsim::RomCode> roms_;
    std::vector<StagedFault> faults_;
    std::vector<double> risen_;  // by output bit: plant time of its first rise, or -1
    uint16_t dead_heaters_ = 0;  // run lines the model does not see
    std::vector<int> frozen_;    // by sensor: the tenths a stuck sensor reads, or kNotFrozen
    std::vector<int> offset_;    // by sensor: tenths a jumping sensor reads off
    double time_ = 0;
};

}  // namespace flextor::plant
