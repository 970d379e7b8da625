// The main window as the core's status display: lamps, the run-state tables of
// the three columns, the texts, and the column buttons wired to the commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/display/status_display.h"
#include "core/logic/commands/column_command.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "ui/gtk_test_support.h"
#include "ui/images/embedded_images.h"

namespace flextor::test {
namespace {

class StatusDisplayWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
    }

    Gtk::Widget& Find(const std::string& name) { return *FindByName(window, name); }

    // Sensitivity of the named controls, in order.
    std::vector<bool> Enabled(const std::vector<std::string>& names) {
        std::vector<bool> states;
        for (const auto& name : names) {
            states.push_back(Find(name).is_sensitive());
        }
        return states;
    }

    TestMainWindow window;
};

TEST_F(StatusDisplayWindow, SameLampStateTwiceChangesTheImageOnce) {
    Lamp& lamp = window.LampOf(3);
    const int before = lamp.ImageChanges();
    window.SetIndicator(3, 4);
    window.SetIndicator(3, 4);
    EXPECT_EQ(lamp.ImageChanges(), before + 1);
    EXPECT_EQ(lamp.Image(), GetLampImage(LampImage::kOn));
    window.SetIndicator(3, 2);
    EXPECT_EQ(lamp.Image(), GetLampImage(LampImage::kOff));
    window.SetIndicator(3, 3);
    EXPECT_EQ(lamp.Image(), GetLampImage(LampImage::kAttention));
    window.SetIndicator(3, 7);  // any other state is "on"
    EXPECT_EQ(lamp.Image(), GetLampImage(LampImage::kOn));
}

TEST_F(StatusDisplayWindow, KindsOutsideTheRangeSelectLamp8) {
    window.SetIndicator(9, 4);
    EXPECT_EQ(window.LampOf(8).State(), 4);
    window.SetIndicator(-1, 3);
    EXPECT_EQ(window.LampOf(8).State(), 3);
    for (int kind = 0; kind <= 7; ++kind) {
        EXPECT_EQ(window.LampOf(kind).State(), 2) << kind;
    }
}

const std::vector<std::string> kColumn1 = {"ColumnThreshold", "Column1Start", "Column1Pause",
                                           "Column1Stop", "Column1Skip"};

TEST_F(StatusDisplayWindow, Column1ControlsFollowTheRunState) {
    window.SetHeadsVolumeText("1.500");
    window.SetSpiritVolumeText("0.250");
    window.SetColumnControls(0, 1);
    EXPECT_EQ(Enabled(kColumn1), (std::vector<bool>{false, false, true, true, true}));
    EXPECT_FALSE(window.ValveButton(1).get_visible());
    EXPECT_EQ(window.HeadsVolumeField().get_text(), "");
    EXPECT_EQ(window.SpiritVolumeField().get_text(), "");

    window.SetHeadsVolumeText("1.500");
    window.SetColumnControls(0, 2);
    EXPECT_EQ(Enabled(kColumn1), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_TRUE(window.ValveButton(2).get_visible());
    EXPECT_EQ(window.HeadsVolumeField().get_text(), "1.500");  // kept while paused

    window.SetColumnControls(0, 128);
    EXPECT_EQ(Enabled(kColumn1), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_FALSE(window.ValveButton(3).get_visible());

    window.SetColumnControls(0, 0);
    EXPECT_EQ(Enabled(kColumn1), (std::vector<bool>{true, true, false, false, false}));
    EXPECT_TRUE(window.ValveButton(1).get_visible());
}

TEST_F(StatusDisplayWindow, UnknownColumn1StateOnlyReleasesTheValves) {
    window.SetColumnControls(0, 1);
    window.ValveButton(1).set_active(true);  // (not possible by hand while hidden)
    window.SetColumnControls(0, 5);
    EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 0);
    EXPECT_FALSE(window.ValveButton(1).get_active());
    EXPECT_EQ(Enabled(kColumn1), (std::vector<bool>{false, false, true, true, true}));
}

TEST_F(StatusDisplayWindow, Column2ControlsFollowTheRunState) {
    const std::vector<std::string> names = {"StillThreshold", "Column2Start", "Column2Stop"};
    window.SetColumnControls(1, 1);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{false, false, true}));
    window.SetColumnControls(1, 2);  // not a state of column 2
    EXPECT_EQ(Enabled(names), (std::vector<bool>{false, false, true}));
    window.SetColumnControls(1, 200);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{false, false, false}));
    window.SetColumnControls(1, 0);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{true, true, false}));
}

TEST_F(StatusDisplayWindow, BlockedMashColumnKeepsItsThresholdsEditable) {
    const std::vector<std::string> names = {"UpperThreshold", "LowerThreshold", "Column3Start",
                                            "Column3Stop"};
    window.SetColumnControls(2, 1);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{false, false, false, true}));
    window.SetColumnControls(2, 128);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{true, true, false, false}));
    window.SetColumnControls(2, 0);
    EXPECT_EQ(Enabled(names), (std::vector<bool>{true, true, true, false}));
}

TEST_F(StatusDisplayWindow, TemperatureTextsGoToTheirRolesFields) {
    const char* fields[] = {"TsaTemperature",   "CondenserTemperature", "ColumnTemperature",
                            "StillTemperature", "MashTemperature",      "Sensor6Temperature"};
    for (int role = 1; role <= 6; ++role) {
        window.SetTemperatureText(role, std::to_string(role) + "0.0 °C");
    }
    window.SetTemperatureText(7, "nowhere");
    for (int role = 1; role <= 6; ++role) {
        auto& field = dynamic_cast<Gtk::Entry&>(Find(fields[role - 1]));
        EXPECT_EQ(field.get_text(), std::to_string(role) + "0.0 °C");
    }
}

TEST_F(StatusDisplayWindow, LongStatusTextStaysInsideItsPlace) {
    ShowAndWait(window, 1004, 684);
    window.SetStatusText(
        "Текущий режим - 'Работа клапана 2 (Спирт)'. Порог превышен. Задержка смены режимов "
        "(осталось 10 сек.) До окончания отбора осталось 12.345 л, примерно 1 ч. 23 мин. "
        "45 сек. и ещё немного текста, чтобы он не поместился");
    window.SetPwmText("80");
    ProcessEvents();
    EXPECT_EQ(window.StatusLine().get_allocated_width(), 388);
    EXPECT_EQ(window.StatusLine().get_allocated_height(), 52);
    EXPECT_EQ(window.PwmField().get_text(), "80");
}

// The buttons reach the column commands; the stop asks first when the setting
// says so, and only Yes stops.
TEST_F(StatusDisplayWindow, MashButtonsStartAndStopWithTheQuestion) {
    SetStatusDisplay(&window);
    ProgVar.Sensors.PortID = 5;
    SensorParam mash;
    mash.SN.Type = kFamilyDS18B20;
    mash.Use = 5;
    mash.Termo = 250;
    mash.UpdateCount = 4;
    ProgVar.Sensors.Sensor.push_back(mash);
    Settings.Logic.CheckStopColumn = 1;

    dynamic_cast<Gtk::Button&>(Find("Column3Start")).clicked();
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 1);
    EXPECT_FALSE(Find("Column3Start").is_sensitive());

    auto& stop = dynamic_cast<Gtk::Button&>(Find("Column3Stop"));
    window.answer = false;
    stop.clicked();
    EXPECT_EQ(window.questions, (std::vector<std::string>{"Остановить работу колонки 3 (Брага)?"}));
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 1);
    window.answer = true;
    stop.clicked();
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 0);
    EXPECT_TRUE(Find("Column3Start").is_sensitive());
    SetStatusDisplay(nullptr);
}

}  // namespace
}  // namespace flextor::test
