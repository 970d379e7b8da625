// The main window after a resume shows column 1 as it stood, its hand valve open.
#include "app/resumed_window.h"

#include <gtest/gtest.h>

#include "core/crash/crash_resume.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/temp_dir.h"
#include "ui/gtk_test_support.h"

namespace flextor::test {
namespace {

TEST(ResumedWindow, APausedColumnComesBackPausedWithItsValveOpen) {
    ResetProgramState();
    ResetSettings();
    ResetMessageLog();
    TestMainWindow window;
    SetStatusDisplay(&window);
    ProgVarRecord saved;
    saved.Logic.Col1.Status = 2;
    saved.Logic.Col1.Mode = 4;
    saved.Logic.Col1.ControlValves = 3;
    TempDir dir;
    WriteFile(dir / "Crash.json", FormatCrashStateJson(saved));

    ASSERT_TRUE(ResumeFromCrashFile((dir / "Crash.json").string(), dir.str()));
    ShowResumedWindow(window);

    EXPECT_EQ(ProgVar.Logic.Col1.Status, 2);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 3);
    EXPECT_TRUE(window.ValveButton(3).get_active());
    EXPECT_TRUE(window.ValveButton(3).get_visible());
    EXPECT_EQ(window.ValveButton(3).get_label(), "Откр.");
    EXPECT_FALSE(window.ValveButton(1).get_active());
    EXPECT_EQ(window.LampOf(kLampValve3).State(), kLampOn);
    EXPECT_TRUE(FindByName(window, "Column1Start")->is_sensitive());
    EXPECT_FALSE(FindByName(window, "Column1Pause")->is_sensitive());
    SetStatusDisplay(nullptr);
    ResetProgramState();
}

}  // namespace
}  // namespace flextor::test
