// The program's own options beyond Setting.ini: resuming a run after a power
// cut, the plausibility checks of the plant, relay boards that switch on a low
// level, and how long the outputs guard lets the control loop go silent. They live in Options.ini
// beside Setting.ini, so that Setting.ini is never rewritten for them; every key has a default and
// the file is written whole, with every key, the first time the program saves it.
#pragma once

#include <string>
#include <vector>

#include "core/guard/guard_protocol.h"
#include "core/settings/typed_number.h"

namespace flextor {

inline constexpr const char kOptionsFileName[] = "Options.ini";

// What the file and the settings window accept.
inline constexpr WholeRange kOutageMinutesRange{1, 24 * 60};
inline constexpr DecimalRange kHotToleranceRange{0.5, 50.0};
inline constexpr WholeRange kCheckMinutesRange{1, 600};  // heat and stuck checks
inline constexpr DecimalRange kHeatRiseRange{0.1, 100.0};
inline constexpr DecimalRange kStepLimitRange{0.5, 100.0};
// Above the 10 s after which the program restarts itself when its GUI thread hangs.
inline constexpr WholeRange kFreezeSecondsRange{11, 600};

struct ResumeOptions {
    bool enabled = false;  // resume a run cut short by a power cut
    int max_outage_minutes = 10;
    // The plant counts as still hot when every role sensor reads within this
    // many degrees of its saved value.
    double hot_tolerance = 5.0;
};

struct CheckOptions {
    bool heat_check = true;  // a run line on, the still sensor not rising
    int heat_minutes = 30;
    double heat_rise = 2.0;
    // The still sensor (role 4) sits in column 2's pot; only where both columns
    // share one pot does it tell column 1's heating as well.
    bool still_in_column1 = false;
    bool stuck_check = true;  // a role sensor reading the same for too long
    int stuck_minutes = 20;
    bool step_check = true;  // a reading jumping more than step_limit in a second
    double step_limit = 15.0;
    bool alarm_on_problem = false;  // a problem latches the alarm
};

struct OutputOptions {
    bool active_low = false;  // relay boards that close on a low input
};

struct GuardOptions {
    // The outputs guard stops a program whose control loop gave no sign for this
    // long and drives every output low.
    int freeze_seconds = kDefaultFreezeSeconds;
};

struct Options {
    ResumeOptions resume;
    CheckOptions checks;
    OutputOptions outputs;
    GuardOptions guard;
};

// What reading the file gave: the options, the problems worth a log message
// (a bad value is reported and its default used), and whether a key was
// missing, so that the file is due to be written whole.
struct OptionsLoad {
    Options options;
    std::vector<std::string> problems;
    bool incomplete = false;
};

// Reads the text of Options.ini (empty when there is none).
OptionsLoad ParseOptions(const std::string& text);

// The file's text, every key written out; numbers with a "." whatever the locale.
std::string OptionsText(const Options& options);

// Loads path and, when a key is missing (no file yet), writes it back whole.
// A file that cannot be written is among the problems.
OptionsLoad LoadOptions(const std::string& path);

// Writes the whole file. False when it could not be written.
[[nodiscard]] bool SaveOptions(const std::string& path, const Options& options);

// The options of this run. GUI thread only.
Options& CurrentOptions();

}  // namespace flextor
