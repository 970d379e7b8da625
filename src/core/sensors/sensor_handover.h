// The GUI side of the meeting with the sensor polling thread: what the thread
// left in SensorShare is merged into ProgVar.Sensors.
#pragma once

#include <cstdint>
#include <functional>

namespace flextor {

// Credit (logic cycles) a role sensor gets with each fresh reading.
inline constexpr int16_t kFreshReadingCredit = 4;

// GUI thread: the handler of the sensor data event. Takes the devices of a
// finished search as new rows at the end of the table, then the fresh readings:
// for every temperature sensor with a role (or every one while PollAll is 1) the
// thread's Flag and Termo, or the not-found mark when the thread does not know it.
// A role sensor's reading goes through the step filter (step_filter.h) first.
void SensorDataHandover();

// GUI thread: what runs after a search result was taken, and after readings
// that brought or took away a not-found mark, which is how a search's marks
// arrive (the sensors window updates its delete button). Nothing (the default)
// does nothing.
void SetUpdateDeleteButton(std::function<void()> update);

}  // namespace flextor
