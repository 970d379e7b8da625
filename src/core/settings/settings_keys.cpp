#include "core/settings/settings_keys.h"

#include <type_traits>

#include "core/settings/saturate.h"

namespace flextor {

std::vector<NumericKey> LogicKeys(LogicSettings& logic) {
    return {
        {"Performance", &logic.Performance},
        {"TimeStable", &logic.TimeStable},
        {"DelayMode", &logic.DelayMode},
        {"TermoNextMode", &logic.TermoNextMode},
        {"Col1_MinTermo", &logic.Col1_MinTermo},
        {"MaxVolume_v0", &logic.MaxVolume_v0},
        {"MaxVolume", &logic.MaxVolume},
        {"Valve1_PWM", &logic.Valve1_PWM},
        {"Valve2_Stable", &logic.Valve2_Stable},
        {"Valve3_PWM", &logic.Valve3_PWM},
        {"Valve3_Termo", &logic.Valve3_Termo},
        {"Hysteresis_Col3", &logic.Hysteresis_Col3},
        {"Check_d6", FlagField{&logic.Check_d6}},
        {"Termo_d6", &logic.Termo_d6},
        {"Hysteresis_d6", &logic.Hysteresis_d6},
        {"Col1_Auto", FlagField{&logic.Col1_Auto}},
        {"CheckStopColumn", FlagField{&logic.CheckStopColumn}},
    };
}

std::vector<NumericKey> LogKeys(LogSettings& log) {
    return {
        {"InfoShow", FlagField{&log.InfoShow}},
        {"InfoFile", FlagField{&log.InfoFile}},
        {"WarnShow", FlagField{&log.WarnShow}},
        {"WarnFile", FlagField{&log.WarnFile}},
        {"ErrShow", FlagField{&log.ErrShow}},
        {"ErrFile", FlagField{&log.ErrFile}},
        {"AutoScroll", FlagField{&log.AutoScroll}},
        {"CheckSavesSec", FlagField{&log.CheckSavesSec}},
        {"CheckModify", FlagField{&log.CheckModify}},
        {"CheckMaxTermo", FlagField{&log.CheckMaxTermo}},
        {"CheckSensorErr", FlagField{&log.CheckSensorErr}},
        {"SavesSec", &log.SavesSec},
        {"Modify", &log.Modify},
        {"MaxTermo", &log.MaxTermo},
    };
}

std::vector<NumericKey> GraphKeys(GraphSettings& graph) {
    std::vector<NumericKey> keys;
    for (int i = 0; i < kColorCount; ++i) {
        keys.push_back({"Color" + std::to_string(i), &graph.Color[i]});
    }
    keys.push_back({"NewDay", FlagField{&graph.NewDay}});
    keys.push_back({"AutoScroll", FlagField{&graph.AutoScroll}});
    return keys;
}

std::vector<NumericKey> WinMainKeys(WinMainSettings& win_main) {
    return {
        {"d1_Limit", &win_main.d1_Limit},       {"d2_Limit", &win_main.d2_Limit},
        {"d3_Limit", &win_main.d3_Limit},       {"d4_Limit", &win_main.d4_Limit},
        {"d5_LimitMax", &win_main.d5_LimitMax}, {"d5_LimitMin", &win_main.d5_LimitMin},
    };
}

bool StoreNumeric(const NumericField& field, int64_t value) {
    return std::visit(
        [value](auto target) {
            if constexpr (std::is_same_v<decltype(target), FlagField>) {
                *target.value = value != 0 ? 1 : 0;
                return true;
            } else {
                using Held = std::remove_pointer_t<decltype(target)>;
                *target = SaturatedTo<Held>(value);
                return FitsIn<Held>(value);
            }
        },
        field);
}

std::string FormatNumeric(const NumericField& field) {
    return std::visit(
        [](auto source) {
            if constexpr (std::is_same_v<decltype(source), FlagField>) {
                return std::to_string(*source.value);
            } else {
                return std::to_string(*source);
            }
        },
        field);
}

}  // namespace flextor
