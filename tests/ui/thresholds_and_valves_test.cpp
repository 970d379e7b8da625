// The operator's own controls on the main window: the six threshold spin boxes
// and the hand valve buttons of column 1.
#include <gtest/gtest.h>

#include <string>

#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "ui/gtk_test_support.h"
#include "ui/widgets/tenths_field.h"

namespace flextor::test {
namespace {

class MainWindowControls : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        window.ShowThresholds();
    }

    // Types text into the box one character at a time, as a person would.
    void Type(TenthsSpinBox& box, const std::string& text) {
        box.Entry().set_text("");
        for (size_t i = 1; i <= text.size(); ++i) {
            box.Entry().set_text(text.substr(0, i));
        }
    }

    TestMainWindow window;
};

TEST_F(MainWindowControls, ShowingTheThresholdsWritesTextAndStateButSavesNothing) {
    EXPECT_EQ(window.ThresholdBox(Threshold::kTsa).Text(), "90.0");
    EXPECT_EQ(window.ThresholdBox(Threshold::kStill).Text(), "75.2");
    EXPECT_EQ(window.ThresholdBox(Threshold::kStill).State(), 752);
    EXPECT_EQ(SaveCounter, 100);
}

TEST_F(MainWindowControls, TypedThresholdIsStoredAndTheTextKept) {
    TenthsSpinBox& box = window.ThresholdBox(Threshold::kTsa);
    Type(box, "-0.5");
    EXPECT_EQ(Settings.WinMain.d1_Limit, -5);
    EXPECT_EQ(box.State(), -5);
    EXPECT_EQ(box.Text(), "-0.5");
    EXPECT_EQ(SaveCounter, 0);

    SaveCounter = 3;
    box.StepUp();
    EXPECT_EQ(box.Text(), "-0.4");
    EXPECT_EQ(box.State(), -4);
    EXPECT_EQ(Settings.WinMain.d1_Limit, -4);
    EXPECT_EQ(SaveCounter, 0);

    Type(box, "12,5");  // reading stops at the comma
    EXPECT_EQ(Settings.WinMain.d1_Limit, 120);
    EXPECT_EQ(box.Text(), "12,5");
}

TEST_F(MainWindowControls, ArrowsStayInTheRangeButTypingIsStoredUnclamped) {
    TenthsSpinBox& box = window.ThresholdBox(Threshold::kColumn);
    Type(box, "200");
    EXPECT_EQ(Settings.WinMain.d3_Limit, 2000);
    EXPECT_EQ(box.State(), 1250);
    box.StepUp();
    EXPECT_EQ(box.Text(), "125.0");
    EXPECT_EQ(Settings.WinMain.d3_Limit, 1250);

    Type(box, "-55");
    box.StepDown();
    EXPECT_EQ(box.Text(), "-55.0");
    EXPECT_EQ(Settings.WinMain.d3_Limit, -550);
}

TEST_F(MainWindowControls, HugeTypedThresholdSaturatesInsteadOfWrappingRound) {
    TenthsSpinBox& box = window.ThresholdBox(Threshold::kTsa);
    Type(box, "4000");  // 40000 tenths would wrap to -25536 in 16 bits
    EXPECT_EQ(Settings.WinMain.d1_Limit, 32767);
    Type(box, "-99999999999999999999");
    EXPECT_EQ(Settings.WinMain.d1_Limit, -32768);
}

TEST_F(MainWindowControls, EachBoxWritesItsOwnSetting) {
    Type(window.ThresholdBox(Threshold::kTsa), "1.1");
    Type(window.ThresholdBox(Threshold::kCondenser), "2.2");
    Type(window.ThresholdBox(Threshold::kColumn), "3.3");
    Type(window.ThresholdBox(Threshold::kStill), "4.4");
    Type(window.ThresholdBox(Threshold::kMashUpper), "5.5");
    Type(window.ThresholdBox(Threshold::kMashLower), "6.6");
    const WinMainSettings& s = Settings.WinMain;
    EXPECT_EQ(s.d1_Limit, 11);
    EXPECT_EQ(s.d2_Limit, 22);
    EXPECT_EQ(s.d3_Limit, 33);
    EXPECT_EQ(s.d4_Limit, 44);
    EXPECT_EQ(s.d5_LimitMax, 55);
    EXPECT_EQ(s.d5_LimitMin, 66);
}

TEST_F(MainWindowControls, SetTenthsFieldWritesOneDecimal) {
    TenthsSpinBox& box = window.ThresholdBox(Threshold::kStill);
    const std::pair<int16_t, const char*> cases[] = {
        {785, "78.5"}, {5, "0.5"},  {0, "0.0"},      {-5, "-0.5"},
        {-9, "-0.9"},  {10, "1.0"}, {-123, "-12.3"}, {1250, "125.0"},
    };
    for (const auto& [value, text] : cases) {
        SetTenthsField(box, value, true, false);
        EXPECT_EQ(box.Text(), text) << value;
        EXPECT_EQ(box.State(), value) << value;
    }
    SetTenthsField(box, 7, false, false);  // text only
    EXPECT_EQ(box.Text(), "0.7");
    EXPECT_EQ(box.State(), 1250);
    SetTenthsField(box, -12, true, true);  // state only
    EXPECT_EQ(box.Text(), "0.7");
    EXPECT_EQ(box.State(), -12);
    EXPECT_EQ(Settings.WinMain.d4_Limit, 752);  // none of this is the operator's edit
}

TEST_F(MainWindowControls, PressingAnotherValveReleasesTheFirst) {
    Gtk::ToggleButton& valve1 = window.ValveButton(1);
    Gtk::ToggleButton& valve2 = window.ValveButton(2);
    valve1.set_active(true);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 1);
    EXPECT_EQ(valve1.get_label(), "Откр.");
    EXPECT_EQ(window.LampOf(3).State(), 4);

    valve2.set_active(true);
    EXPECT_FALSE(valve1.get_active());
    EXPECT_EQ(valve1.get_label(), "Закр.");
    EXPECT_EQ(valve2.get_label(), "Откр.");
    EXPECT_EQ(window.LampOf(3).State(), 2);
    EXPECT_EQ(window.LampOf(4).State(), 4);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 2);

    valve2.set_active(false);
    EXPECT_EQ(valve2.get_label(), "Закр.");
    EXPECT_EQ(window.LampOf(4).State(), 2);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 0);
}

TEST_F(MainWindowControls, PausingReleasesAValveOpenedByHand) {
    window.ValveButton(3).set_active(true);
    window.SetPwmText("55");
    window.SetColumnControls(0, 2);
    EXPECT_FALSE(window.ValveButton(3).get_active());
    EXPECT_EQ(window.ValveButton(3).get_label(), "Закр.");
    EXPECT_EQ(window.LampOf(5).State(), 2);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 0);
    EXPECT_EQ(window.PwmField().get_text(), "");
}

}  // namespace
}  // namespace flextor::test
