#include "core/settings/settings_load_report.h"

#include <cstdio>
#include <vector>

#include "core/log/message_log.h"

namespace flextor {
namespace {

struct Finding {
    std::string text;
    uint8_t level;
};

std::vector<Finding> findings;

std::string UnreadableText(const std::string& path) {
    return "Не удалось прочитать файл настроек " + path + ", приняты настройки по умолчанию";
}

std::string TooLargeText(const std::string& path) {
    return "Файл настроек " + path +
           " повреждён: слишком большой файл, приняты настройки по умолчанию";
}

std::string DamagedText(const std::string& path, const std::string& damage) {
    return "Файл настроек " + path + " повреждён: " + damage + ", прочитано то, что удалось";
}

}  // namespace

void NoteSettingsFinding(const std::string& text, uint8_t level) {
    std::fprintf(stderr, "flextor: %s\n", text.c_str());
    std::fflush(stderr);
    findings.push_back(Finding{text, level});
}

bool NoteSettingsLoad(const std::string& path, ReadOutcome outcome,
                      const std::optional<std::string>& damage) {
    switch (outcome) {
        case ReadOutcome::kMissing:
            return false;
        case ReadOutcome::kUnreadable:
        case ReadOutcome::kNotRegular:
            NoteSettingsFinding(UnreadableText(path), kLevelError);
            return true;
        case ReadOutcome::kTooLarge:
            NoteSettingsFinding(TooLargeText(path), kLevelError);
            return true;
        case ReadOutcome::kRead:
            break;
    }
    if (!damage) {
        return false;
    }
    NoteSettingsFinding(DamagedText(path, *damage), kLevelWarning);
    return true;
}

void NoteSettingOutOfRange(const std::string& path, const std::string& key, const std::string& read,
                           const std::string& used) {
    NoteSettingsFinding(path + ": значение ключа " + key + " = " + read +
                            " вне допустимого диапазона, используется " + used,
                        kLevelWarning);
}

std::string DescribeIniDamage(const IniDamage& damage) {
    const std::string line = std::to_string(damage.line);
    switch (damage.kind) {
        case IniDamageKind::kNotText:
            return "в строке " + line + " байты, не являющиеся текстом";
        case IniDamageKind::kUnreadableLine:
            return "строка " + line + " не разбирается";
        case IniDamageKind::kRepeatedGroup:
            return "группа [" + damage.group + "] повторяется в строке " + line;
    }
    return "строка " + line;
}

void ReportSettingsFindings() {
    std::vector<Finding> reported;
    reported.swap(findings);
    for (const Finding& finding : reported) {
        AddLogMessage(finding.text, finding.level);
    }
}

void ClearSettingsFindings() {
    findings.clear();
}

}  // namespace flextor
