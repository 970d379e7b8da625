#include "core/options/options.h"

#include "base/files/file_io.h"
#include "core/settings/ini_reader.h"

namespace flextor {
namespace {

// What Options.ini says of a key: a value out of its bounds, or not a number,
// is reported and the default kept.
struct Reader {
    const IniDocument& ini;
    OptionsLoad& load;

    const std::string* Find(const char* group, const char* key) const {
        const std::string* value = ini.Find(group, key);
        if (value == nullptr) {
            load.incomplete = true;
        }
        return value;
    }

    void Problem(const char* group, const char* key, const std::string& value,
                 const std::string& bounds, const std::string& used) const {
        load.problems.push_back(std::string(kOptionsFileName) + ": [" + group + "] " + key + " = " +
                                value + " вне допустимых пределов " + bounds + ", используется " +
                                used);
    }

    void Flag(const char* group, const char* key, bool& field) const {
        const std::string* value = Find(group, key);
        if (value == nullptr) {
            return;
        }
        const std::string text = IniString(*value);
        if (text != "0" && text != "1") {
            Problem(group, key, text, "0..1", field ? "1" : "0");
            return;
        }
        field = text == "1";
    }

    void Whole(const char* group, const char* key, WholeRange range, int& field) const {
        const std::string* value = Find(group, key);
        if (value == nullptr) {
            return;
        }
        const std::string text = IniString(*value);
        int number = 0;
        if (!ReadWholeNumber(text, number) || number < range.low || number > range.high) {
            Problem(group, key, text, RangeText(range), std::to_string(field));
            return;
        }
        field = number;
    }

    // A decimal comma is taken too, as the operator may have typed it by hand.
    void Decimal(const char* group, const char* key, DecimalRange range, double& field) const {
        const std::string* value = Find(group, key);
        if (value == nullptr) {
            return;
        }
        const std::string text = IniString(*value);
        double number = 0;
        if (!ReadDecimalNumber(text, number) || number < range.low || number > range.high) {
            Problem(group, key, text, RangeText(range, '.'), OneDecimalText(field));
            return;
        }
        field = number;
    }
};

std::string Line(const char* key, const std::string& value) {
    return std::string(key) + " = " + value + "\n";
}

std::string FlagText(bool value) {
    return value ? "1" : "0";
}

}  // namespace

OptionsLoad ParseOptions(const std::string& text) {
    OptionsLoad load;
    const IniDocument ini = IniDocument::Parse(text);
    const Reader read{ini, load};
    ResumeOptions& resume = load.options.resume;
    read.Flag("Resume", "Enabled", resume.enabled);
    read.Whole("Resume", "MaxOutageMinutes", kOutageMinutesRange, resume.max_outage_minutes);
    read.Decimal("Resume", "HotTolerance", kHotToleranceRange, resume.hot_tolerance);
    CheckOptions& checks = load.options.checks;
    read.Flag("Checks", "HeatCheck", checks.heat_check);
    read.Whole("Checks", "HeatMinutes", kCheckMinutesRange, checks.heat_minutes);
    read.Decimal("Checks", "HeatRise", kHeatRiseRange, checks.heat_rise);
    read.Flag("Checks", "StillInColumn1", checks.still_in_column1);
    read.Flag("Checks", "StuckCheck", checks.stuck_check);
    read.Whole("Checks", "StuckMinutes", kCheckMinutesRange, checks.stuck_minutes);
    read.Flag("Checks", "StepCheck", checks.step_check);
    read.Decimal("Checks", "StepLimit", kStepLimitRange, checks.step_limit);
    read.Flag("Checks", "AlarmOnProblem", checks.alarm_on_problem);
    read.Flag("Outputs", "ActiveLow", load.options.outputs.active_low);
    read.Whole("Guard", "FreezeSeconds", kFreezeSecondsRange, load.options.guard.freeze_seconds);
    return load;
}

std::string OptionsText(const Options& options) {
    const ResumeOptions& resume = options.resume;
    const CheckOptions& checks = options.checks;
    return "; Дополнительные настройки Флекстора (страница \"Дополнительно\" окна настроек).\n"
           "[Resume]\n" +
           Line("Enabled", FlagText(resume.enabled)) +
           Line("MaxOutageMinutes", std::to_string(resume.max_outage_minutes)) +
           Line("HotTolerance", OneDecimalText(resume.hot_tolerance)) + "\n[Checks]\n" +
           Line("HeatCheck", FlagText(checks.heat_check)) +
           Line("HeatMinutes", std::to_string(checks.heat_minutes)) +
           Line("HeatRise", OneDecimalText(checks.heat_rise)) +
           Line("StillInColumn1", FlagText(checks.still_in_column1)) +
           Line("StuckCheck", FlagText(checks.stuck_check)) +
           Line("StuckMinutes", std::to_string(checks.stuck_minutes)) +
           Line("StepCheck", FlagText(checks.step_check)) +
           Line("StepLimit", OneDecimalText(checks.step_limit)) +
           Line("AlarmOnProblem", FlagText(checks.alarm_on_problem)) + "\n[Outputs]\n" +
           Line("ActiveLow", FlagText(options.outputs.active_low)) + "\n[Guard]\n" +
           Line("FreezeSeconds", std::to_string(options.guard.freeze_seconds));
}

OptionsLoad LoadOptions(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        text.clear();  // no file yet: every option at its default
    }
    OptionsLoad load = ParseOptions(text);
    if (load.incomplete && !SaveOptions(path, load.options)) {
        load.problems.push_back("Не удалось записать файл " + path);
    }
    return load;
}

bool SaveOptions(const std::string& path, const Options& options) {
    return ReplaceFileAtomically(path, OptionsText(options));
}

Options& CurrentOptions() {
    static Options options;
    return options;
}

}  // namespace flextor
