// A clean start for settings tests: default settings and program state, a
// temporary folder for Setting.ini, and the message log's window rows recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/files/file_io.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/recording_log_view.h"
#include "support/temp_dir.h"

namespace flextor::test {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        SetLogView(&log_view);
    }
    void TearDown() override {
        ResetMessageLog();
        SetBeforeRenameHook(nullptr);
        ResetProgramState();
        ResetSettings();
    }

    std::string SettingsPath() const { return (folder / "Setting.ini").string(); }

    // The number of window rows that end with text at warning level.
    int WarningsEndingWith(const std::string& text) const {
        int count = 0;
        for (const RecordingLogView::Row& row : log_view.rows) {
            if (row.level == kLevelWarning && row.text.ends_with(text)) {
                ++count;
            }
        }
        return count;
    }

    TempDir folder;
    RecordingLogView log_view;
};

}  // namespace flextor::test
