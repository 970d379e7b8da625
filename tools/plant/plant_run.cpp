#include "plant/plant_run.h"

#include <bit>
#include <cmath>
#include <cstdio>

namespace flextor::plant {
namespace {

constexpr int kOutputBits = 16;
constexpr int kNotFrozen = -10000;

int Tenths(double celsius) {
    return static_cast<int>(std::lround(celsius * 10.0));
}

}  // namespace

PlantRun::PlantRun(const Scenario& scenario, owsim::SimBus& bus, AdapterSwitch adapter)
    : scenario_(scenario),
      bus_(bus),
      adapter_(std::move(adapter)),
      model_(scenario.plant),
      jitter_(scenario.seed),
      risen_(kOutputBits, -1.0),
      frozen_(scenario.sensors.size(), kNotFrozen),
      offset_(scenario.sensors.size(), 0) {
    for (const ScenarioSensor& sensor : scenario.sensors) {
        roms_.push_back(
            bus_.AddSensor(sensor.family, sensor.serial, Tenths(model_.Temperature(sensor.role))));
    }
    for (const ScenarioFault& fault : scenario.faults) {
        faults_.push_back({fault});
    }
    PushTemperatures();
}

void PlantRun::TakeUp(const PlantState& state, double cooled_seconds) {
    model_.Restore(state);
    model_.Advance(cooled_seconds, 0);
    PushTemperatures();
}

void PlantRun::Advance(double seconds, uint16_t outputs) {
    for (int bit = 0; bit < kOutputBits; ++bit) {
        if ((outputs >> bit & 1) != 0 && risen_[bit] < 0) {
            risen_[bit] = time_;
        }
    }
    model_.Advance(seconds, static_cast<uint16_t>(outputs & ~dead_heaters_));
    time_ += seconds;
    for (StagedFault& staged : faults_) {
        Stage(staged);
    }
    PushTemperatures();
}

void PlantRun::Stage(StagedFault& staged) {
    const ScenarioFault& fault = staged.fault;
    double trigger = 0;
    if (fault.after != 0) {
        trigger = risen_[std::countr_zero(fault.after)];
        if (trigger < 0) {
            return;
        }
    }
    if (!staged.started && time_ >= trigger + fault.at) {
        staged.started = true;
        Switch(fault, true);
    }
    if (staged.started && !staged.ended && fault.until >= 0 && time_ >= trigger + fault.until) {
        staged.ended = true;
        Switch(fault, false);
    }
}

void PlantRun::Switch(const ScenarioFault& fault, bool on) {
    if (fault.kind == FaultKind::kAdapterOut) {
        adapter_(!on);
        return;
    }
    if (fault.kind == FaultKind::kOverheat) {
        model_.Force(fault.sensor, {on, fault.to, fault.rate});
        return;
    }
    if (fault.kind == FaultKind::kDeadHeater) {
        dead_heaters_ = on ? (dead_heaters_ | fault.output)
                           : static_cast<uint16_t>(dead_heaters_ & ~fault.output);
        return;
    }
    if (fault.kind == FaultKind::kStuck || fault.kind == FaultKind::kJump) {
        SwitchReading(fault, on);
        return;
    }
    for (std::size_t i = 0; i < roms_.size(); ++i) {
        if (scenario_.sensors[i].role != fault.sensor) {
            continue;
        }
        bool known = false;
        if (fault.kind == FaultKind::kUnplug) {
            known = bus_.SetAbsent(roms_[i], on);
        } else if (fault.kind == FaultKind::kCrcStorm) {
            known = bus_.SetBadCrc(roms_[i], on);
        } else {
            known = bus_.SetStuckAt85(roms_[i], on);
        }
        if (!known) {
            std::fprintf(stderr,
                         "flextor-plant: the %s sensor has left the bus; fault not staged\n",
                         RoleName(fault.sensor));
        }
        return;
    }
}

// A stuck or jumping sensor: what the plant hands the bus for it, not the plant.
void PlantRun::SwitchReading(const ScenarioFault& fault, bool on) {
    for (std::size_t i = 0; i < roms_.size(); ++i) {
        if (scenario_.sensors[i].role != fault.sensor) {
            continue;
        }
        if (fault.kind == FaultKind::kJump) {
            offset_[i] = on ? Tenths(fault.by) : 0;
        } else {
            frozen_[i] = on ? Tenths(model_.Temperature(fault.sensor)) : kNotFrozen;
        }
        return;
    }
}

void PlantRun::PushTemperatures() {
    for (std::size_t i = 0; i < roms_.size(); ++i) {
        const Role role = scenario_.sensors[i].role;
        // A sensor without a role sits in the room.
        const double celsius =
            role == Role::kNone ? scenario_.plant.ambient : model_.Temperature(role);
        // The jitter is drawn for every sensor every time, so the sequence is fixed.
        const int jitter = static_cast<int>(jitter_() % 3) - 1;
        const int tenths = frozen_[i] != kNotFrozen ? frozen_[i] : Tenths(celsius) + jitter;
        if (!bus_.SetTemperature(roms_[i], tenths + offset_[i])) {
            continue;  // removed through the control socket: its place is empty
        }
    }
}

}  // namespace flextor::plant
