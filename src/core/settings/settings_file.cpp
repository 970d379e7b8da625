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

void ReadNumericKeys(const IniDocument& ini, const char* group, const std::vector<NumericKey>& keys,
                     std::vector<OutOfRangeValue>& noted) {
    for (const NumericKey& key : keys) {
        if (const std::string* value = ini.Find(group, key.name)) {
            if (!StoreNumeric(key.field, ParseIniInteger(*value))) {
                noted.push_back({key.name, IniString(*value), FormatNumeric(key.field)});
            }
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

// A key of the Sensor group as a T; 0 when it is missing. A number beyond T's
// range takes the nearest end of it and is noted.
template <typename T>
T ReadSensorNumber(const IniDocument& ini, const std::string& key,
                   std::vector<OutOfRangeValue>& noted) {
    const std::string* value = ini.Find("Sensor", key);
    if (value == nullptr) {
        return 0;
    }
    const IniInteger number = ReadIniInteger(*value);
    const T held = SaturatedTo<T>(number.value);
    if (number.beyond_range || !FitsIn<T>(number.value)) {
        noted.push_back({key, IniString(*value), std::to_string(held)});
    }
    return held;
}

// Rows with a zero ID are skipped, and their "Use_" key is not read. False when
// the count is negative, which no save ever writes.
[[nodiscard]] bool ReadSensorRows(const IniDocument& ini, std::vector<SensorParam>& sensors,
                                  std::vector<OutOfRangeValue>& noted) {
    sensors.clear();
    const IniGroup* group = ini.FindGroup("Sensor");
    if (group == nullptr) {
        return true;
    }
    const auto count = ReadSensorNumber<int32_t>(ini, "SensorsCount", noted);
    for (int32_t n : SensorRowNumbers(*group, count)) {
        const auto id = ReadSensorNumber<int64_t>(ini, "ID_" + std::to_string(n), noted);
        if (id != 0) {
            SensorParam row;
            row.ID = id;
            row.Use = ReadSensorNumber<uint8_t>(ini, "Use_" + std::to_string(n), noted);
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
        // A flag takes any number.
        static_cast<void>(StoreNumeric(FlagField{&sensor.Serial}, ParseIniInteger(*value)));
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

SettingsReading ParseSettings(const std::string& bytes, SettingsRecord& settings,
                              std::vector<SensorParam>& sensors) {
    IniDocument ini = IniDocument::Parse(bytes);
    settings = SettingsRecord{};
    SettingsReading reading;
    ReadNumericKeys(ini, "Logic", LogicKeys(settings.Logic), reading.out_of_range);
    ReadNumericKeys(ini, "Log", LogKeys(settings.Log), reading.out_of_range);
    ReadNumericKeys(ini, "Graph", GraphKeys(settings.Graph), reading.out_of_range);
    ReadSensorGroup(ini, settings.Sensor);
    const bool count_valid = ReadSensorRows(ini, sensors, reading.out_of_range);
    ReadNumericKeys(ini, "WinMain", WinMainKeys(settings.WinMain), reading.out_of_range);
    if (ini.Damage()) {
        reading.damage = DescribeIniDamage(*ini.Damage());
    } else if (!count_valid) {
        reading.damage = kNegativeCountDamage;
    }
    return reading;
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
    const SettingsReading reading = ParseSettings(bytes, Settings, SettingSensors);
    if (NoteSettingsLoad(path, outcome, reading.damage)) {
        RequireKeepingSettingsFile();
    } else {
        ForgetKeepingSettingsFile();
    }
    for (const OutOfRangeValue& value : reading.out_of_range) {
        NoteSettingOutOfRange(path, value.key, value.read, value.used);
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
