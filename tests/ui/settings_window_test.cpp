// The settings window as a person uses it: dependent controls, what OK, Apply
// and Cancel leave in the settings and on the chart, the page it opens on, and
// its layout in the operators' locale.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "app/window_slot.h"
#include "core/chart/chart_control.h"
#include "core/chart/chart_model.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"
#include "ui/gtk_test_support.h"
#include "ui/settings_window/page_place.h"
#include "ui/settings_window/settings_window.h"

namespace flextor::test {
namespace {

constexpr int kWidth = 516;
constexpr int kHeight = 608;

class SettingsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSettings();
        ApplyChartSettings();
    }
    void TearDown() override { ResetSettings(); }

    std::unique_ptr<SettingsWindow> Open() {
        auto window = std::make_unique<SettingsWindow>(owner_, (dir_ / "Setting.ini").string());
        ShowAndWait(*window, kWidth, kHeight);
        return window;
    }

    std::string SavedFile() const { return ReadFile(dir_ / "Setting.ini"); }

    TempDir dir_;
    TestMainWindow owner_;
};

TEST_F(SettingsWindowTest, Sensor6OffDisablesItsBoxesAndKeepsTheThresholds) {
    Settings.Logic.Termo_d6 = 321;
    Settings.Logic.Hysteresis_d6 = 15;
    auto window = Open();
    PlantPage& plant = window->Plant();
    EXPECT_EQ(CheckText(plant.Sensor6Check()), "Датчик №6");
    EXPECT_TRUE(plant.Sensor6ThresholdBox().is_sensitive());
    EXPECT_EQ(plant.Sensor6ThresholdBox().Text(), "32.1");

    plant.Sensor6Check().set_active(false);
    EXPECT_FALSE(plant.Sensor6ThresholdBox().is_sensitive());
    EXPECT_FALSE(plant.Sensor6HysteresisBox().is_sensitive());
    window->OkButton().clicked();
    ProcessEvents();

    EXPECT_FALSE(window->get_visible());
    EXPECT_EQ(Settings.Logic.Check_d6, 0);
    EXPECT_EQ(Settings.Logic.Termo_d6, 321);
    EXPECT_EQ(Settings.Logic.Hysteresis_d6, 15);
    EXPECT_NE(SavedFile().find("Check_d6 = 0\n"), std::string::npos) << "OK writes at once";
}

TEST_F(SettingsWindowTest, NumberFieldsReadTheirLeadingDigits) {
    auto window = Open();
    struct Case {
        const char* typed;
        int32_t stored;
    };
    for (const Case& c : {Case{"12a", 12}, Case{"a12", 0}}) {
        window->Plant().DelayModeField().set_text(c.typed);
        EXPECT_EQ(window->Plant().DelayModeField().get_text(), c.typed) << "a text field";
        window->ApplySettingsWindow();
        EXPECT_EQ(Settings.Logic.DelayMode, c.stored) << c.typed;
    }

    NumberField& performance = window->Plant().PerformanceField();
    performance.set_text("");
    int position = 0;
    performance.insert_text("4a", 2, position);  // a paste with a letter is refused whole
    performance.insert_text("45", 2, position);
    EXPECT_EQ(performance.get_text(), "45");
}

TEST_F(SettingsWindowTest, ColourChangesReachTheChartOnlyWhenApplied) {
    const int32_t background = Settings.Graph.Color[0];
    const int32_t chosen = 0x123456;
    {
        auto window = Open();
        window->ChartOptions().SetSelectedColour(chosen);
        window->CancelButton().clicked();
        ProcessEvents();
        EXPECT_FALSE(window->get_visible());
    }
    EXPECT_EQ(Settings.Graph.Color[0], background);
    EXPECT_EQ(Chart.look.colours[0], background);
    EXPECT_TRUE(SavedFile().empty()) << "Cancel writes nothing";

    auto window = Open();
    EXPECT_EQ(window->ChartOptions().Swatch().Colour(), background);
    window->ChartOptions().ColourList().set_active(8);  // "Датчик 6"
    EXPECT_EQ(window->ChartOptions().Swatch().Colour(), Settings.Graph.Color[8]);
    window->ChartOptions().SetSelectedColour(chosen);
    window->ApplyButton().clicked();
    ProcessEvents();
    EXPECT_TRUE(window->get_visible());
    EXPECT_EQ(Settings.Graph.Color[8], chosen);
    EXPECT_EQ(Chart.look.colours[8], chosen);
    EXPECT_EQ(Chart.look.colours[0], background);
}

TEST_F(SettingsWindowTest, PopUpOpensAnOpenWindowOnItsPage) {
    WindowSlot slot;
    slot.SetFactory([this] { return std::make_unique<SettingsWindow>(owner_); });
    owner_.Hooks().open_settings = [&slot](SettingsPage page) {
        ShowSettingsPage(slot.Open(), page);
    };
    auto* window = [&] {
        owner_.Hooks().open_settings(SettingsPage::kKeep);
        return dynamic_cast<SettingsWindow*>(slot.Current());
    }();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Pages().get_current_page(), 0) << "a new window opens on Установка";

    owner_.Hooks().open_settings(SettingsPage::kChart);
    EXPECT_EQ(window->Pages().get_current_page(), 2);
    owner_.LogPopup().get_children().front()->activate();  // the log's "Настройки"
    ProcessEvents();
    EXPECT_EQ(slot.Current(), window) << "the open window is reused";
    EXPECT_EQ(window->Pages().get_current_page(), 1);
    owner_.Hooks().open_settings(SettingsPage::kKeep);
    EXPECT_EQ(window->Pages().get_current_page(), 1);

    // A pop-up's auto-scroll item turns the open window's check box over too,
    // and leaves the other box as it was chosen in the window, not yet applied.
    owner_.Hooks().log_auto_scroll_changed = [window] {
        window->ShowAutoScroll(AutoScrollBox::kLog);
    };
    owner_.Hooks().chart_auto_scroll_changed = [window] {
        window->ShowAutoScroll(AutoScrollBox::kChart);
    };
    Gtk::CheckButton& log_box = window->Log().AutoScrollCheck();
    Gtk::CheckButton& chart_box = window->ChartOptions().AutoScrollCheck();
    ASSERT_TRUE(log_box.get_active());
    ASSERT_EQ(chart_box.get_active(), Settings.Graph.AutoScroll != 0);
    chart_box.set_active(!chart_box.get_active());
    const bool chart_chosen = chart_box.get_active();
    owner_.LogAutoScrollItem().activate();
    EXPECT_EQ(Settings.Log.AutoScroll, 0);
    EXPECT_FALSE(log_box.get_active());
    EXPECT_EQ(chart_box.get_active(), chart_chosen);

    log_box.set_active(true);
    owner_.ChartAutoScrollItem().activate();
    EXPECT_EQ(chart_box.get_active(), Settings.Graph.AutoScroll != 0);
    EXPECT_TRUE(log_box.get_active());
    EXPECT_EQ(Settings.Log.AutoScroll, 0);
    slot.Hide();
    ProcessEvents();
}

struct Seen {
    std::vector<Gdk::Rectangle> places;
    std::string termo_text;
};

Seen LayoutOf(SettingsWindow& window) {
    static const char* const kPlaced[] = {
        "SettingsPages", "OkButton",   "CancelButton", "ApplyButton",     "Performance",
        "TermoNextMode", "Valve3_PWM", "Check_d6",     "Hysteresis_Col3", "CheckStopColumn"};
    Seen seen;
    for (const char* name : kPlaced) {
        Gtk::Widget* widget = FindByName(window, name);
        EXPECT_NE(widget, nullptr) << name;
        if (widget != nullptr) {
            seen.places.push_back(PlaceIn(*widget, window));
        }
    }
    seen.termo_text = window.Plant().Sensor6ThresholdBox().Text();
    return seen;
}

TEST_F(SettingsWindowTest, LayoutIsTheSameInTheOperatorsLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    auto plain = Open();
    const Seen in_c = LayoutOf(*plain);
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr) {
        std::setlocale(LC_ALL, before.c_str());
        GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
    }
    auto russian = Open();
    const Seen in_ru = LayoutOf(*russian);
    std::setlocale(LC_ALL, before.c_str());

    EXPECT_EQ(in_ru.termo_text, "50.0");
    EXPECT_EQ(in_ru.termo_text, in_c.termo_text);
    ASSERT_EQ(in_c.places.size(), in_ru.places.size());
    for (size_t i = 0; i < in_c.places.size(); ++i) {
        EXPECT_TRUE(in_c.places[i] == in_ru.places[i]) << "control " << i;
    }
    // A few places as laid out: the pages, OK, the first field, sensor 6's box.
    EXPECT_EQ(in_c.places[0].get_x(), 4);
    EXPECT_EQ(in_c.places[0].get_width(), 512);
    EXPECT_EQ(in_c.places[0].get_height(), 558);
    EXPECT_EQ(in_c.places[1].get_x(), 220);
    EXPECT_EQ(in_c.places[1].get_y(), 568);
    EXPECT_EQ(in_c.places[1].get_width(), 80);
    EXPECT_EQ(in_c.places[1].get_height(), 28);
    EXPECT_EQ(in_c.places[4].get_width(), 76);
    EXPECT_EQ(in_c.places[4].get_height(), 28);
    EXPECT_EQ(in_c.places[6].get_width(), 64);
    EXPECT_EQ(in_c.places[8].get_height(), 27);
}

}  // namespace
}  // namespace flextor::test
