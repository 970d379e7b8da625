#include "core/settings/settings_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/files/file_io.h"
#include "base/files/regular_file.h"
#include "core/log/message_log.h"
#include "core/settings/ini_reader.h"
#include "core/settings/saturate.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_load_report.h"
#include "core/settings/settings_preservation.h"

namespace flextor {
namespace {

constexpr const char* kSaveFailedMessage = "Не удалось сохранить настройки в файле";

// Far above any file the program writes (a hundred sensors take a few kilobytes),
// low enough that reading it cannot exhaust the memory of the smallest board.
constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

constexpr const char* kNegativeCountDamage = "отрицательное число датчиков SensorsCount";

void ReadNumericKeys(const IniDocument& ini, const char* group,
                     const std::vector<NumericKey>& keys) {
    for (const NumericKey& key : keys) {
        if (const std::string* value = ini.Find(group, key.name)) {
            StoreNumeric(key.field, ParseIniInteger(*value));
        }
    }
}

// n when key is exactly "id_" + n in plain decimal, n >= 1.
std::optional<int32_t> SensorRowNumber(const std::string& key) {
    if (!key.starts_with("id_") || key.size() == 3 || key[3] < '1' || key[3] > '9') {
        return std::nullopt;
    }
    int32_t number = 0;
    const char* end = key.data() + key.size();
    auto [stop, error] = std::from_chars(key.data() + 3, end, number);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return number;
}

// The row numbers n in 1..count for which the group holds an "ID_" + n key, in
// ascending order. Taking them from the file instead of counting up to count
// gives the same rows and keeps a damaged count from stalling the start.
std::vector<int32_t> SensorRowNumbers(const IniGroup& group, int32_t count) {
    std::vector<int32_t> numbers;
    for (const IniEntry& entry : group.entries) {
        std::optional<int32_t> number = SensorRowNumber(entry.key);
        if (number && *number <= count) {
            numbers.push_back(*number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// A key of the Sensor group as an integer; 0 when it is missing.
int64_t ReadSensorInteger(const IniDocument& ini, const std::string& key) {
    const std::string* value = ini.Find("Sensor", key);
    return value != nullptr ? ParseIniInteger(*value) : 0;
}

// Rows with a zero ID are skipped, and their "Use_" key is not read. False when
// the count is negative, which no save ever writes.
[[nodiscard]] bool ReadSensorRows(const IniDocument& ini, std::vector<SensorParam>& sensors) {
    sensors.clear();
    const IniGroup* group = ini.FindGroup("Sensor");
    if (group == nullptr) {
        return true;
    }
    auto count = SaturatedTo<int32_t>(ReadSensorInteger(ini, "SensorsCount"));
    for (int32_t n : SensorRowNumbers(*group, count)) {
        int64_t id = ReadSensorInteger(ini, "ID_" + std::to_string(n));
        if (id != 0) {
            SensorParam row;
            row.ID = id;
            row.Use = SaturatedTo<uint8_t>(ReadSensorInteger(ini, "Use_" + std::to_string(n)));
            sensors.push_back(row);
        }
    }
    return count >= 0;
}

void ReadSensorGroup(const IniDocument& ini, SensorSettings& sensor) {
    if (const std::string* value = ini.Find("Sensor", "PortName")) {
        sensor.PortName = IniString(*value);
    }
    if (const std::string* value = ini.Find("Sensor", "Serial")) {
        StoreNumeric(FlagField{&sensor.Serial}, ParseIniInteger(*value));
    }
}

void AppendLine(std::string& text, const std::string& key, const std::string& value) {
    text += key;
    text += " = ";
    text += value;
    text += '\n';
}

void AppendGroup(std::string& text, const char* group, const std::vector<NumericKey>& keys) {
    text += '[';
    text += group;
    text += "]\n";
    for (const NumericKey& key : keys) {
        AppendLine(text, key.name, FormatNumeric(key.field));
    }
}

// A row whose ID is 0 writes nothing but still takes its number.
void AppendSensorGroup(std::string& text, const SensorSettings& sensor,
                       const std::vector<SensorParam>& sensors) {
    text += "[Sensor]\n";
    AppendLine(text, "PortName", sensor.PortName);
    AppendLine(text, "Serial", std::to_string(sensor.Serial));
    AppendLine(text, "SensorsCount", std::to_string(sensors.size()));
    for (size_t i = 0; i < sensors.size(); ++i) {
        if (sensors[i].ID != 0) {
            std::string number = std::to_string(i + 1);
            AppendLine(text, "ID_" + number, std::to_string(sensors[i].ID));
            AppendLine(text, "Use_" + number, std::to_string(sensors[i].Use));
        }
    }
}

}  // namespace

std::optional<std::string> ParseSettings(const std::string& bytes, SettingsRecord& settings,
                                         std::vector<SensorParam>& sensors) {
    IniDocument ini = IniDocument::Parse(bytes);
    settings = SettingsRecord{};
    ReadNumericKeys(ini, "Logic", LogicKeys(settings.Logic));
    ReadNumericKeys(ini, "Log", LogKeys(settings.Log));
    ReadNumericKeys(ini, "Graph", GraphKeys(settings.Graph));
    ReadSensorGroup(ini, settings.Sensor);
    bool count_valid = ReadSensorRows(ini, sensors);
    ReadNumericKeys(ini, "WinMain", WinMainKeys(settings.WinMain));
    if (ini.Damage()) {
        return DescribeIniDamage(*ini.Damage());
    }
    if (!count_valid) {
        return kNegativeCountDamage;
    }
    return std::nullopt;
}

// settings is a copy because the key tables bind their fields for writing too.
std::string FormatSettings(SettingsRecord settings, const std::vector<SensorParam>& sensors) {
    std::string text = "\xEF\xBB\xBF\n";
    AppendGroup(text, "Logic", LogicKeys(settings.Logic));
    AppendGroup(text, "Log", LogKeys(settings.Log));
    AppendGroup(text, "Graph", GraphKeys(settings.Graph));
    AppendSensorGroup(text, settings.Sensor, sensors);
    AppendGroup(text, "WinMain", WinMainKeys(settings.WinMain));
    return text;
}

void LoadSettings(const std::string& path) {
    std::string bytes;
    ReadOutcome outcome = ReadRegularFile(path, kMaxFileBytes, bytes);
    std::optional<std::string> damage = ParseSettings(bytes, Settings, SettingSensors);
    if (NoteSettingsLoad(path, outcome, damage)) {
        RequireKeepingSettingsFile();
    } else {
        ForgetKeepingSettingsFile();
    }
}

bool SaveSettings(const std::string& path) {
    if (!KeepSettingsFileIfRequired(path)) {
        return false;
    }
    if (!ReplaceFileAtomically(path, FormatSettings(Settings, SettingSensors))) {
        AddLogMessage(kSaveFailedMessage, kLevelWarning);
        return false;
    }
    return true;
}

}  // namespace flextor
