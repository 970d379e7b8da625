// The plausibility checks of the plant (Options.ini, [Checks]), once a second
// from the logic cycle, warnings by default:
//  - heating without a rise: column 2's run line on for HeatMinutes while the
//    still sensor (role 4) rose less than HeatRise above its lowest reading
//    since the line went on; column 1's too, but only with StillInColumn1 (one
//    pot for both columns). Without a working still sensor there is no check.
//  - a stuck sensor: a sensor reading exactly the same for StuckMinutes while it
//    is expected to move (the column sensor heating up, the still sensor while
//    its pot heats, the mash sensor while column 3 warms or cools it); the
//    alarm sensors sit at room temperature through a healthy run and are not
//    watched.
//  - a jumping sensor: failed by the step filter of the hand-over (step_filter.h).
// Each problem logs one warning when it starts and one information line when it
// clears, puts the alarm lamp to "attention" while any is present, and with
// AlarmOnProblem latches the alarm as an alarm sensor does. The state is kept
// here, never in ProgVar. GUI thread only.
#pragma once

#include <string>
#include <vector>

#include "core/time/clock.h"

namespace flextor {

enum class ProblemKind { kHeatWithoutRise, kStuckSensor, kJumpingSensor };

struct Problem {
    ProblemKind kind = ProblemKind::kHeatWithoutRise;
    int column = 0;    // 1 or 2 for heating without a rise, else 0
    int role = 0;      // the sensor's role 1..6
    std::string text;  // as logged
    LocalTime since;
};

// "heat_without_rise", "stuck_sensor", "jumping_sensor".
const char* ProblemCode(ProblemKind kind);

// The problems present, in the order they started.
const std::vector<Problem>& CurrentProblems();

// The logic cycle's step, after the columns.
void PlausibilityChecksStep();

// Forgets every problem and watch, and the step filter's state (tests, and a
// fresh ProgVar).
void ResetPlausibilityChecks();

}  // namespace flextor
