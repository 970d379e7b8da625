#include "core/resume/power_cut_decision.h"

#include <cstdlib>
#include <optional>

#include "core/logic/number_text.h"
#include "core/sensors/sensor_texts.h"

namespace flextor {
namespace {

// The outage in seconds, when the clock can tell it.
std::optional<int64_t> KnownOutage(const PowerCutFacts& facts) {
    if (!facts.clock_synchronised || facts.now < facts.saved_at) {
        return std::nullopt;
    }
    return facts.now - facts.saved_at;
}

// "20 мин", "10 мин 1 с", "0 мин 0 с"
std::string MinutesAndSeconds(int64_t seconds) {
    const std::string minutes = std::to_string(seconds / 60) + " мин";
    return seconds % 60 == 0 && seconds != 0 ? minutes
                                             : minutes + " " + std::to_string(seconds % 60) + " с";
}

std::string OutageText(const PowerCutFacts& facts, const ResumeOptions& options) {
    if (!facts.clock_synchronised) {
        return "время перебоя неизвестно (часы не синхронизированы)";
    }
    if (facts.now < facts.saved_at) {
        return "время перебоя неизвестно (часы отстают от времени сохранения)";
    }
    return "программа не работала " + MinutesAndSeconds(facts.now - facts.saved_at) +
           ", больше допустимых " + std::to_string(options.max_outage_minutes) + " мин";
}

// "" when every saved role sensor reads within the tolerance now; otherwise
// what tells the plant has cooled (or cannot tell it).
std::string TemperatureChange(const PowerCutFacts& facts, const ResumeOptions& options) {
    if (facts.saved.empty()) {
        return "температуры датчиков не сохранены";
    }
    const int tolerance = static_cast<int>(options.hot_tolerance * 10 + 0.5);
    for (const RoleReading& saved : facts.saved) {
        const RoleReading* now = nullptr;
        for (const RoleReading& reading : facts.current) {
            now = reading.role == saved.role ? &reading : now;
        }
        if (now == nullptr) {
            return RoleName(saved.role) + " не прочитан";
        }
        if (std::abs(now->tenths - saved.tenths) > tolerance) {
            return "температуры изменились больше чем на " + TenthsText(tolerance) + " °C (" +
                   RoleName(saved.role) + ": " + TenthsText(saved.tenths) + " → " +
                   TenthsText(now->tenths) + " °C)";
        }
    }
    return "";
}

}  // namespace

bool OutageKnownShort(const PowerCutFacts& facts, const ResumeOptions& options) {
    const std::optional<int64_t> outage = KnownOutage(facts);
    return outage && *outage <= int64_t{options.max_outage_minutes} * 60;
}

PowerCutDecision DecidePowerCut(const PowerCutFacts& facts, const ResumeOptions& options) {
    PowerCutDecision decision;
    decision.keep_latch = facts.alarm_latched;
    const std::string resumed = "Работа возобновлена после перебоя питания (";
    const std::optional<int64_t> outage = KnownOutage(facts);
    if (OutageKnownShort(facts, options)) {
        decision.resume = true;
        decision.message = resumed + "программа не работала " + MinutesAndSeconds(*outage) + ").";
        return decision;
    }
    const std::string change = TemperatureChange(facts, options);
    if (change.empty()) {
        decision.resume = true;
        decision.message = resumed +
                           (outage ? "программа не работала " + MinutesAndSeconds(*outage)
                                   : OutageText(facts, options)) +
                           ", установка не остыла).";
        return decision;
    }
    decision.message = "Работа не возобновлена: " + OutageText(facts, options) + ", а " + change +
                       "." + (facts.alarm_latched ? " Сигнал аварии остаётся в силе." : "");
    return decision;
}

}  // namespace flextor
