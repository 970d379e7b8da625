// A clean message log for each test: default settings and program state, a fake
// clock standing at one moment, and the window rows recorded.
#pragma once

#include <gtest/gtest.h>

#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "support/recording_log_view.h"

namespace flextor::test {

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        SetLogView(&view);
    }
    void TearDown() override { ResetMessageLog(); }

    FakeClock clock{LocalTime{2026, 12, 6, 18, 24, 7}};
    ScopedClock scoped_clock{clock};
    RecordingLogView view;
};

}  // namespace flextor::test
