#include "core/crash/crash_state_json.h"

namespace flextor {
namespace {

// Writes `"name":value` with a comma before every member but the first.
class ObjectWriter {
  public:
    explicit ObjectWriter(FixedText& out) : out_(out) { out_.Put('{'); }
    void End() { out_.Put('}'); }

    FixedText& Key(std::string_view name) {
        if (!first_) {
            out_.Put(',');
        }
        first_ = false;
        PutJsonKey(out_, name);
        return out_;
    }
    template <std::integral T>
    void Integer(std::string_view name, T value) {
        PutJsonInteger(Key(name), value);
    }
    void Double(std::string_view name, double value) { PutJsonDouble(Key(name), value); }
    void String(std::string_view name, std::string_view value) { PutJsonString(Key(name), value); }

  private:
    FixedText& out_;
    bool first_ = true;
};

void PutRomCode(FixedText& out, const OW_SN& sn) {
    ObjectWriter object(out);
    object.Integer("Type", sn.Type);
    FixedText& number = object.Key("Number");
    number.Put('[');
    for (size_t i = 0; i < sizeof sn.Number; ++i) {
        if (i != 0) {
            number.Put(',');
        }
        PutJsonInteger(number, sn.Number[i]);
    }
    number.Put(']');
    object.Integer("CRC", sn.CRC);
    object.End();
}

void PutSensorRow(FixedText& out, const SensorParam& row) {
    ObjectWriter object(out);
    PutRomCode(object.Key("SN"), row.SN);
    object.Integer("ID", row.ID);
    object.Integer("Use", row.Use);
    object.Integer("Termo", row.Termo);
    object.Integer("TermoLog", row.TermoLog);
    object.Integer("CountErr", row.CountErr);
    object.Integer("CountNoUpdate", row.CountNoUpdate);
    object.Integer("Count85Err", row.Count85Err);
    object.Integer("UpdateCount", row.UpdateCount);
    object.Integer("Flag", row.Flag);
    object.End();
}

void PutSensors(FixedText& out, const Sensors& sensors, int32_t port_id) {
    ObjectWriter object(out);
    FixedText& list = object.Key("Sensor");
    list.Put('[');
    for (size_t i = 0; i < sensors.Sensor.size(); ++i) {
        if (i != 0) {
            list.Put(',');
        }
        PutSensorRow(list, sensors.Sensor[i]);
    }
    list.Put(']');
    object.Integer("CurrentSensor", sensors.CurrentSensor);
    object.Integer("PortID", port_id);
    object.Integer("Flags", sensors.Flags);
    object.End();
}

void PutCol1(FixedText& out, const Logic_Col1& col) {
    ObjectWriter object(out);
    object.Integer("Status", col.Status);
    object.Integer("Mode", col.Mode);
    object.Integer("ControlValves", col.ControlValves);
    object.Integer("PWM", col.PWM);
    object.Integer("CounterPWM", col.CounterPWM);
    object.Integer("DelayState", col.DelayState);
    object.Integer("CountDelay", col.CountDelay);
    object.Double("Volume", col.Volume);
    object.Double("VolumePWM", col.VolumePWM);
    object.Double("v0_Volume", col.v0_Volume);
    object.Double("v1_Volume", col.v1_Volume);
    object.Double("v2_Volume", col.v2_Volume);
    object.Integer("v2_CloseState", col.v2_CloseState);
    object.End();
}

// The levels of the column-3 and sensor-6 outputs are written only when
// keep_levels is set; otherwise as 0.
void PutLogic(FixedText& out, const LogicParam& logic, bool keep_levels) {
    ObjectWriter object(out);
    object.Integer("Alarm", logic.Alarm);
    PutCol1(object.Key("Col1"), logic.Col1);
    ObjectWriter col2(object.Key("Col2"));
    col2.Integer("Work", logic.Col2.Work);
    col2.End();
    ObjectWriter col3(object.Key("Col3"));
    col3.Integer("Work", logic.Col3.Work);
    col3.Integer("PinMax", keep_levels ? logic.Col3.PinMax : uint8_t{0});
    col3.Integer("PinMin", keep_levels ? logic.Col3.PinMin : uint8_t{0});
    col3.Integer("OldMax", logic.Col3.OldMax);
    col3.Integer("OldMin", logic.Col3.OldMin);
    col3.End();
    object.Integer("d6_Pin", keep_levels ? logic.d6_Pin : uint8_t{0});
    object.End();
}

void PutPrefix(FixedText& out, const ProgVarRecord& state, bool as_is) {
    ObjectWriter object(out);
    object.String("LogInfo_FileName", state.LogInfo_FileName);
    object.String("LogTermo_FileName", state.LogTermo_FileName);
    PutSensors(object.Key("Sensors"), state.Sensors, as_is ? state.Sensors.PortID : 0);
    PutLogic(object.Key("Logic"), state.Logic, as_is);
    object.Key("Crash");
}

// Room enough for the text of state: every byte of a string may grow to six.
size_t TextBound(const ProgVarRecord& state) {
    constexpr size_t kFixedPart = 2048;
    constexpr size_t kPerRow = 512;
    constexpr size_t kEscapeGrowth = 6;
    const size_t strings =
        state.LogInfo_FileName.size() + state.LogTermo_FileName.size() + state.Crash.Err.size();
    return kFixedPart + kPerRow * state.Sensors.Sensor.size() + kEscapeGrowth * strings;
}

}  // namespace

std::string FormatCrashStateJson(const ProgVarRecord& state) {
    std::string text(TextBound(state), '\0');
    FixedText out(text.data(), text.size());
    PutPrefix(out, state, true);
    PutCrashStateEnd(out, state.Crash.Count, state.Crash.Err);
    text.resize(out.Size());
    return text;
}

void PutCrashStatePrefix(FixedText& out, const ProgVarRecord& state) {
    PutPrefix(out, state, false);
}

void PutCrashStateEnd(FixedText& out, uint8_t count, std::string_view err) {
    ObjectWriter crash(out);
    crash.Integer("Count", count);
    crash.String("Err", err);
    crash.End();
    out.Put('}');
}

}  // namespace flextor
