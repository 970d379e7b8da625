#include "core/crash/crash_state_read.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <type_traits>

#include "base/text/utf8.h"
#include "core/settings/saturate.h"

namespace flextor {
namespace {

using Json = nlohmann::json;

// A number of the file as a 64-bit integer: fractions cut off, the far ends
// held at the ends of the range.
std::optional<int64_t> IntegerOf(const Json& value) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    if (value.is_boolean()) {
        return value.get<bool>() ? 1 : 0;
    }
    if (value.is_number_unsigned()) {
        const auto number = value.get<uint64_t>();
        return number > static_cast<uint64_t>(kMax) ? kMax : static_cast<int64_t>(number);
    }
    if (value.is_number_integer()) {
        return value.get<int64_t>();
    }
    if (value.is_number_float()) {
        const double number = value.get<double>();
        if (std::isnan(number)) {
            return std::nullopt;
        }
        if (number >= 0x1p63) {
            return kMax;
        }
        return number <= -0x1p63 ? kMin : static_cast<int64_t>(number);
    }
    return std::nullopt;
}

// A member of object, or nullptr when there is none.
const Json* Member(const Json& object, const char* name) {
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

// The number field from the member of its name, when that is a number.
template <typename T>
void Take(const Json& object, const char* name, T& field) {
    const Json* member = Member(object, name);
    if (member == nullptr) {
        return;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (member->is_number() || member->is_boolean()) {
            field = member->is_boolean() ? (member->get<bool>() ? 1 : 0) : member->get<double>();
        }
    } else if (const std::optional<int64_t> number = IntegerOf(*member)) {
        field = SaturatedTo<T>(*number);
    }
}

// A 0/1 field: any number other than 0 reads as 1, so that a latch saved as 2,
// -1 or 0.5 is latched for every part of the program that tests it.
void TakeFlag(const Json& object, const char* name, uint8_t& field) {
    const Json* member = Member(object, name);
    if (member == nullptr) {
        return;
    }
    if (member->is_boolean()) {
        field = member->get<bool>() ? 1 : 0;
    } else if (member->is_number()) {
        field = member->get<double>() != 0 ? 1 : 0;
    }
}

void TakeString(const Json& object, const char* name, std::string& field) {
    const Json* member = Member(object, name);
    if (member != nullptr && member->is_string()) {
        field = member->get<std::string>();
    }
}

// The member of that name when it is an object, or nullptr.
const Json* Record(const Json& object, const char* name) {
    const Json* member = Member(object, name);
    return member != nullptr && member->is_object() ? member : nullptr;
}

void ReadRomCode(const Json& object, OW_SN& sn) {
    Take(object, "Type", sn.Type);
    Take(object, "CRC", sn.CRC);
    const Json* number = Member(object, "Number");
    if (number == nullptr || !number->is_array()) {
        return;
    }
    for (size_t i = 0; i < sizeof sn.Number && i < number->size(); ++i) {
        if (const std::optional<int64_t> byte = IntegerOf((*number)[i])) {
            sn.Number[i] = SaturatedTo<uint8_t>(*byte);
        }
    }
}

// ID and SN share their bytes: a row with both takes ID, which is exact.
SensorParam ReadSensorRow(const Json& object) {
    SensorParam row;
    if (const Json* sn = Record(object, "SN")) {
        ReadRomCode(*sn, row.SN);
    }
    if (Member(object, "ID") != nullptr) {
        row.ID = 0;
        Take(object, "ID", row.ID);
    }
    Take(object, "Use", row.Use);
    Take(object, "Termo", row.Termo);
    Take(object, "TermoLog", row.TermoLog);
    Take(object, "CountErr", row.CountErr);
    Take(object, "CountNoUpdate", row.CountNoUpdate);
    Take(object, "Count85Err", row.Count85Err);
    Take(object, "UpdateCount", row.UpdateCount);
    Take(object, "Flag", row.Flag);
    return row;
}

void ReadSensors(const Json& object, Sensors& sensors) {
    const Json* list = Member(object, "Sensor");
    if (list != nullptr && list->is_array()) {
        for (const Json& element : *list) {
            sensors.Sensor.push_back(element.is_object() ? ReadSensorRow(element) : SensorParam{});
        }
    }
    Take(object, "CurrentSensor", sensors.CurrentSensor);
    Take(object, "PortID", sensors.PortID);
    Take(object, "Flags", sensors.Flags);
}

void ReadCol1(const Json& object, Logic_Col1& col) {
    Take(object, "Status", col.Status);
    Take(object, "Mode", col.Mode);
    Take(object, "ControlValves", col.ControlValves);
    Take(object, "PWM", col.PWM);
    Take(object, "CounterPWM", col.CounterPWM);
    Take(object, "DelayState", col.DelayState);
    Take(object, "CountDelay", col.CountDelay);
    Take(object, "Volume", col.Volume);
    Take(object, "VolumePWM", col.VolumePWM);
    Take(object, "v0_Volume", col.v0_Volume);
    Take(object, "v1_Volume", col.v1_Volume);
    Take(object, "v2_Volume", col.v2_Volume);
    Take(object, "v2_CloseState", col.v2_CloseState);
}

void ReadCol3(const Json& object, Logic_Col3& col) {
    Take(object, "Work", col.Work);
    Take(object, "PinMax", col.PinMax);
    Take(object, "PinMin", col.PinMin);
    Take(object, "OldMax", col.OldMax);
    Take(object, "OldMin", col.OldMin);
}

void ReadLogic(const Json& object, LogicParam& logic) {
    TakeFlag(object, "Alarm", logic.Alarm);
    if (const Json* col1 = Record(object, "Col1")) {
        ReadCol1(*col1, logic.Col1);
    }
    if (const Json* col2 = Record(object, "Col2")) {
        Take(*col2, "Work", logic.Col2.Work);
    }
    if (const Json* col3 = Record(object, "Col3")) {
        ReadCol3(*col3, logic.Col3);
    }
    Take(object, "d6_Pin", logic.d6_Pin);
}

void ReadState(const Json& root, ProgVarRecord& state) {
    TakeString(root, "LogInfo_FileName", state.LogInfo_FileName);
    TakeString(root, "LogTermo_FileName", state.LogTermo_FileName);
    if (const Json* sensors = Record(root, "Sensors")) {
        ReadSensors(*sensors, state.Sensors);
    }
    if (const Json* logic = Record(root, "Logic")) {
        ReadLogic(*logic, state.Logic);
    }
    if (const Json* crash = Record(root, "Crash")) {
        Take(*crash, "Count", state.Crash.Count);
        TakeString(*crash, "Err", state.Crash.Err);
    }
}

}  // namespace

bool ParseCrashState(const std::string& text, ProgVarRecord& state) {
    const Json root = IsValidUtf8(text) ? Json::parse(text, nullptr, false)
                                        : Json::parse(ValidUtf8(text), nullptr, false);
    if (!root.is_object()) {
        return false;
    }
    state = ProgVarRecord{};
    ReadState(root, state);
    return true;
}

}  // namespace flextor
