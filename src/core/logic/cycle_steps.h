// The steps of the logic cycle besides column 1, each in a file of its own.
// GUI thread only.
#pragma once

#include <functional>

namespace flextor {

void TemperatureLogStep();     // writes the temperature log
void AlarmStep();              // latches the alarm on the two alarm sensors
void Col2Step();               // column 2 (distillation), while it runs
void Col3Step();               // column 3 (mash)
void Sensor6Step();            // the sensor-6 output
void TemperatureFieldsStep();  // the six temperature fields of the main window
void SensorListStep();         // the sensors window's list, while it is open
void FreshnessStep();          // ages the readings of the role sensors

// What SensorListStep runs: the sensors window installs its list refresh while
// it is open; nothing (the default) does nothing.
void SetSensorListRefresh(std::function<void()> refresh);

}  // namespace flextor
