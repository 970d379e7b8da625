// What loading the settings found wrong with Setting.ini (unreadable, damaged,
// numbers beyond their settings' ranges) and what was cleaned up before it. Loading comes before
// the message log has its file, so each finding goes to the standard error at once and is kept
// until start-up has made the log file names; then ReportSettingsFindings puts it in the message
// log. GUI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/files/regular_file.h"
#include "core/settings/ini_reader.h"

namespace flextor {

// Writes text to the standard error now and keeps it for the message log.
void NoteSettingsFinding(const std::string& text, uint8_t level);

// Notes what reading the file at path came to; damage is the description of the
// first damage found in a file that was read. Returns true when the file exists
// but could not be taken as it is, so that it has to be kept before the next save.
[[nodiscard]] bool NoteSettingsLoad(const std::string& path, ReadOutcome outcome,
                                    const std::optional<std::string>& damage);

// Notes a number of the file at path that its setting cannot hold: the key, the
// value as written and the value used instead.
void NoteSettingOutOfRange(const std::string& path, const std::string& key, const std::string& read,
                           const std::string& used);

// What an IniDamage means, for a message: "строка 12 не разбирается".
std::string DescribeIniDamage(const IniDamage& damage);

// Logs every finding kept so far, in order, then forgets them.
void ReportSettingsFindings();

// Forgets the findings without logging them.
void ClearSettingsFindings();

}  // namespace flextor
