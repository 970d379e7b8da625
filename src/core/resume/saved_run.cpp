#include "core/resume/saved_run.h"

#include <nlohmann/json.hpp>

#include <chrono>

#include "base/files/regular_file.h"
#include "core/crash/crash_state_json.h"
#include "core/crash/crash_state_read.h"
#include "core/options/options.h"

namespace flextor {
namespace {

// A few kilobytes for a usual state; the crash-state buffer's size and more.
constexpr size_t kMaxSavedRunBytes = 1024 * 1024;

constexpr uint8_t kBadReading = kFlagError | kFlagNotFound | kFlagReadFailed;

}  // namespace

int64_t LocalSeconds(const LocalTime& time) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{time.year}, month{static_cast<unsigned>(time.month)},
                                        std::chrono::day{static_cast<unsigned>(time.day)}};
    return day.time_since_epoch() / seconds{1} + time.hour * 3600 + time.minute * 60 + time.second;
}

std::string SavedRunText(const ProgVarRecord& state, int64_t saved_at) {
    return "{\"SavedAt\":" + std::to_string(saved_at) +
           ",\"State\":" + FormatCrashStateJson(state) + "}";
}

bool ParseSavedRun(const std::string& text, SavedRun& run) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return false;
    }
    const auto saved_at = json.find("SavedAt");
    const auto state = json.find("State");
    if (saved_at == json.end() || !saved_at->is_number_integer() || state == json.end() ||
        !state->is_object()) {
        return false;
    }
    run.saved_at = saved_at->get<int64_t>();
    return ParseCrashState(state->dump(), run.state);
}

SavedRunFound FindSavedRun(const std::string& program_folder, SavedRun& run) {
    if (!CurrentOptions().resume.enabled) {
        return SavedRunFound::kNone;
    }
    std::string bytes;
    switch (ReadRegularFile(program_folder + kSavedRunFileName, kMaxSavedRunBytes, bytes)) {
        case ReadOutcome::kMissing:
            return SavedRunFound::kNone;
        case ReadOutcome::kRead:
            return ParseSavedRun(bytes, run) ? SavedRunFound::kFound : SavedRunFound::kDamaged;
        default:
            return SavedRunFound::kDamaged;
    }
}

std::vector<RoleReading> RoleReadings(const std::vector<SensorParam>& table, bool fresh_only) {
    std::vector<RoleReading> readings;
    for (uint8_t role = 1; role <= 6; ++role) {
        for (const SensorParam& row : table) {
            if (!IsTemperatureFamily(row.SN.Type) || row.Use != role) {
                continue;
            }
            const bool fresh = (row.Flag & kFlagFresh) != 0 || !fresh_only;
            if (fresh && (row.Flag & kBadReading) == 0) {
                readings.push_back({role, row.Termo});
            }
            break;
        }
    }
    return readings;
}

void TakeUpSavedRun(const ProgVarRecord& saved) {
    ProgVar.LogInfo_FileName = saved.LogInfo_FileName;
    ProgVar.LogTermo_FileName = saved.LogTermo_FileName;
    ProgVar.Logic = saved.Logic;
    ProgVar.Logic.Col3.PinMax = 0;
    ProgVar.Logic.Col3.PinMin = 0;
    ProgVar.Logic.d6_Pin = 0;
    ProgVar.Crash = saved.Crash;
}

}  // namespace flextor
