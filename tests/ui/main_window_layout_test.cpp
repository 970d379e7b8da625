// The main window as a person sees it right after start-up: every control at
// its place and size, its text, font and enabled state, the colours.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "core/version.h"
#include "e2e/x_display.h"
#include "ui/gtk_test_support.h"

namespace flextor::test {
namespace {

struct Placed {
    const char* name;
    const char* parent;
    int x, y, width, height;
};

// Panels relative to the client area below the menu bar, controls relative to
// their panel.
const std::vector<Placed> kLayout = {
    {"AlarmPanel", "ClientArea", 0, 0, 514, 120},
    {"Column1Panel", "ClientArea", 0, 120, 516, 276},
    {"Column2Panel", "ClientArea", 0, 396, 516, 108},
    {"Column3Panel", "ClientArea", 0, 504, 516, 152},
    {"ChartFrame", "ClientArea", 516, 0, 484, 472},
    {"ChartScrollBar", "ClientArea", 516, 474, 484, 20},
    {"LogScroller", "ClientArea", 516, 496, 486, 156},

    {"TsaLabel", "AlarmPanel", 4, 12, 156, 24},
    {"TsaTemperature", "AlarmPanel", 180, 4, 104, 28},
    {"TsaThresholdCaption", "AlarmPanel", 300, 12, 68, 24},
    {"TsaThreshold", "AlarmPanel", 372, 4, 96, 28},
    {"Lamp0", "AlarmPanel", 480, 24, 24, 24},
    {"CondenserLabel", "AlarmPanel", 4, 48, 160, 24},
    {"CondenserTemperature", "AlarmPanel", 180, 44, 104, 28},
    {"CondenserThresholdCaption", "AlarmPanel", 300, 52, 68, 24},
    {"CondenserThreshold", "AlarmPanel", 372, 44, 96, 28},
    {"Sensor6Label", "AlarmPanel", 4, 92, 84, 24},
    {"Sensor6Temperature", "AlarmPanel", 180, 84, 104, 28},
    {"PulseCaption", "AlarmPanel", 280, 92, 184, 24},
    {"Lamp1", "AlarmPanel", 480, 88, 24, 24},

    {"Column1Header", "Column1Panel", 0, 4, 516, 16},
    {"Lamp2", "Column1Panel", 480, 32, 24, 24},
    {"ColumnSensorLabel", "Column1Panel", 4, 36, 164, 24},
    {"ColumnTemperature", "Column1Panel", 180, 28, 104, 28},
    {"ColumnThresholdCaption", "Column1Panel", 304, 36, 68, 24},
    {"ColumnThreshold", "Column1Panel", 376, 28, 96, 28},
    {"Column1Separator", "Column1Panel", 0, 64, 516, 4},
    {"StatusLine", "Column1Panel", 128, 72, 388, 52},
    {"PwmCaption", "Column1Panel", 4, 96, 64, 20},
    {"PwmField", "Column1Panel", 72, 88, 52, 28},
    {"Valve1Label", "Column1Panel", 4, 132, 172, 24},
    {"HeadsVolumeField", "Column1Panel", 180, 128, 104, 28},
    {"VolumeCaption1", "Column1Panel", 292, 136, 56, 24},
    {"Valve1Button", "Column1Panel", 376, 128, 96, 28},
    {"Lamp3", "Column1Panel", 480, 128, 24, 28},
    {"Valve2Label", "Column1Panel", 4, 168, 172, 24},
    {"SpiritVolumeField", "Column1Panel", 180, 164, 104, 28},
    {"VolumeCaption2", "Column1Panel", 292, 172, 52, 24},
    {"Valve2Button", "Column1Panel", 376, 164, 96, 28},
    {"Lamp4", "Column1Panel", 480, 164, 24, 28},
    {"Valve3Label", "Column1Panel", 4, 204, 172, 24},
    {"Valve3Button", "Column1Panel", 376, 200, 96, 28},
    {"Lamp5", "Column1Panel", 480, 200, 24, 20},
    {"Column1Start", "Column1Panel", 4, 236, 120, 32},
    {"Column1Pause", "Column1Panel", 132, 236, 120, 32},
    {"Column1Stop", "Column1Panel", 260, 236, 120, 32},
    {"Column1Skip", "Column1Panel", 388, 236, 120, 32},

    {"Column2Header", "Column2Panel", 0, 4, 516, 16},
    {"Lamp6", "Column2Panel", 480, 32, 24, 24},
    {"StillSensorLabel", "Column2Panel", 4, 36, 104, 20},
    {"StillTemperature", "Column2Panel", 180, 28, 104, 28},
    {"StillThresholdCaption", "Column2Panel", 300, 36, 72, 28},
    {"StillThreshold", "Column2Panel", 376, 28, 96, 28},
    {"Column2Start", "Column2Panel", 60, 72, 120, 32},
    {"Column2Stop", "Column2Panel", 304, 72, 120, 32},

    {"Column3Header", "Column3Panel", 0, 12, 516, 16},
    {"MashSensorLabel", "Column3Panel", 4, 60, 84, 24},
    {"MashTemperature", "Column3Panel", 92, 52, 104, 28},
    {"UpperCaption", "Column3Panel", 200, 44, 164, 24},
    {"UpperThreshold", "Column3Panel", 376, 36, 96, 28},
    {"Lamp7", "Column3Panel", 480, 40, 24, 24},
    {"LowerCaption", "Column3Panel", 200, 80, 164, 24},
    {"LowerThreshold", "Column3Panel", 376, 72, 96, 28},
    {"Lamp8", "Column3Panel", 480, 76, 24, 24},
    {"Column3Start", "Column3Panel", 60, 112, 124, 32},
    {"Column3Stop", "Column3Panel", 304, 112, 120, 32},
};

struct Text {
    const char* name;
    const char* text;
};

// Texts of the stopped state, before any temperature or threshold is shown.
const std::vector<Text> kTexts = {
    {"TsaLabel", "ав. ТСА"},
    {"TsaThresholdCaption", "Порог"},
    {"CondenserLabel", "ав. Конденсатор"},
    {"CondenserThresholdCaption", "Порог"},
    {"Sensor6Label", "д. №6"},
    {"PulseCaption", "Пульсирующий сигнал"},
    {"ColumnSensorLabel", "д. Колонна"},
    {"ColumnThresholdCaption", "Порог"},
    {"StatusLine", ""},
    {"PwmCaption", "ШИМ"},
    {"PwmField", ""},  // the stop command at construction empties the design-time "100"
    {"Valve1Label", "Кл. Г. Фракция"},
    {"HeadsVolumeField", ""},
    {"VolumeCaption1", "Об."},
    {"Valve1Button", "Закр."},
    {"Valve2Label", "Кл. Спирт"},
    {"SpiritVolumeField", ""},
    {"VolumeCaption2", "Об."},
    {"Valve2Button", "Закр."},
    {"Valve3Label", "Кл. Т. Фракция"},
    {"Valve3Button", "Закр."},
    {"Column1Start", "Пуск"},
    {"Column1Pause", "Пауза"},
    {"Column1Stop", "Стоп"},
    {"Column1Skip", "Пропуск"},
    {"StillSensorLabel", "д. Куб"},
    {"StillThresholdCaption", "Порог"},
    {"Column2Start", "Пуск"},
    {"Column2Stop", "Стоп"},
    {"MashSensorLabel", "д. Брага"},
    {"UpperCaption", "Верхний порог"},
    {"LowerCaption", "Нижний порог"},
    {"Column3Start", "Пуск"},
    {"Column3Stop", "Стоп"},
};

std::string ShownText(Gtk::Widget& widget) {
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget)) {
        return label->get_text();
    }
    if (auto* button = dynamic_cast<Gtk::Button*>(&widget)) {
        return button->get_label();
    }
    if (auto* entry = dynamic_cast<Gtk::Entry*>(&widget)) {
        return entry->get_text();
    }
    return "<no text>";
}

class MainWindowLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ShowAndWait(window, 1004, 684);
    }

    Gtk::Widget& Find(const std::string& name) {
        Gtk::Widget* widget = FindByName(window, name);
        if (widget == nullptr) {
            ADD_FAILURE() << "no control " << name;
            return window;
        }
        return *widget;
    }

    // The pixel of the window's content at x, y (window coordinates).
    std::array<int, 3> PixelAt(const Glib::RefPtr<Gdk::Pixbuf>& shot, int x, int y) {
        const guint8* p =
            shot->get_pixels() + y * shot->get_rowstride() + x * shot->get_n_channels();
        return {p[0], p[1], p[2]};
    }

    TestMainWindow window;
};

TEST_F(MainWindowLayout, WindowIsFixedAtTheTopLeftWithItsTitle) {
    EXPECT_EQ(window.get_title(), kMainWindowTitle);
    EXPECT_FALSE(window.get_resizable());
    EXPECT_EQ(window.get_allocated_width(), 1004);
    EXPECT_EQ(window.get_allocated_height(), 684);
    EXPECT_EQ(ViewOf(window), nullptr);  // the content as it is, not scrolled
    int x = -1;
    int y = -1;
    window.get_position(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // Everything of the client area fits below the menu bar.
    Gtk::Widget& client = Find("ClientArea");
    Gdk::Rectangle place = PlaceIn(client, window);
    EXPECT_EQ(place.get_x(), 0);
    EXPECT_EQ(place.get_y(), Find("MenuBar").get_allocated_height());
    EXPECT_GE(client.get_allocated_height(), 656);
}

TEST_F(MainWindowLayout, EveryControlHasItsPlaceAndSize) {
    for (const Placed& p : kLayout) {
        Gdk::Rectangle place = PlaceIn(Find(p.name), Find(p.parent));
        EXPECT_EQ(place.get_x(), p.x) << p.name;
        EXPECT_EQ(place.get_y(), p.y) << p.name;
        EXPECT_EQ(place.get_width(), p.width) << p.name;
        EXPECT_EQ(place.get_height(), p.height) << p.name;
    }
}

// The 800 × 480 touch display: the same layout in a view that fits the work area.
TEST_F(MainWindowLayout, SmallScreenShowsTheLayoutInAViewWithEveryControlInReach) {
    if (!SmallScreen()) {
        GTEST_SKIP() << "the screen is not small";
    }
    ASSERT_NE(ViewOf(window), nullptr);
    EXPECT_EQ(Find("ClientArea").get_allocated_width(), 1004);
    ExpectEveryControlReachable(window);
}

// A finger's drag between the controls shows the far corner, where a tap then
// works.
TEST_F(MainWindowLayout, SmallScreenScrollsByADragAndTheControlsThenWork) {
    if (!SmallScreen() || Glib::getenv("GTK_TEST_TOUCHSCREEN").empty()) {
        GTEST_SKIP() << "needs the small screen and GTK_TEST_TOUCHSCREEN";
    }
    Gtk::ScrolledWindow* view = ViewOf(window);
    ASSERT_NE(view, nullptr);
    XDisplay x(Glib::getenv("DISPLAY"));
    const unsigned long id = x.FindWindow(window.get_title(), window.get_width());
    const Gdk::Rectangle from = PlaceIn(Find("VolumeCaption2"), window);
    const int from_x = from.get_x() + from.get_width() / 2;
    const int from_y = from.get_y() + from.get_height() / 2;
    ASSERT_TRUE(x.Drag(id, from_x, from_y, from_x - 300, from_y - 300));
    for (int i = 0; i < 10; ++i) {
        Settle();  // the flick runs on to the end
    }
    for (auto adjustment : {view->get_hadjustment(), view->get_vadjustment()}) {
        EXPECT_GT(adjustment->get_value(), 0);
        EXPECT_EQ(adjustment->get_value(), adjustment->get_upper() - adjustment->get_page_size());
    }
    Gtk::Entry& lower = window.ThresholdBox(Threshold::kMashLower).Entry();
    const Gdk::Rectangle place = PlaceIn(lower, window);
    ASSERT_TRUE(x.Click(id, place.get_x() + 10, place.get_y() + 10));
    Settle();
    EXPECT_TRUE(lower.has_focus());
    // The keyboard's focus brings its control into sight as well.
    Gtk::Entry& tsa = window.ThresholdBox(Threshold::kTsa).Entry();
    tsa.grab_focus();
    Settle();
    EXPECT_EQ(PlaceIn(tsa, *view).get_y(), 0);
}

TEST_F(MainWindowLayout, TextsOfTheStoppedState) {
    for (const Text& t : kTexts) {
        EXPECT_EQ(ShownText(Find(t.name)), t.text) << t.name;
    }
    for (int role = 1; role <= 6; ++role) {
        EXPECT_EQ(window.TemperatureField(role).get_text(), "") << role;
    }
    EXPECT_EQ(window.PwmField().get_tooltip_text(), "Процент открытого состояния текущего клапана");
    EXPECT_EQ(window.HeadsVolumeField().get_tooltip_text(),
              "Объём в литрах, который прошёл через клапан 'Г. Фракция'");
    EXPECT_EQ(window.SpiritVolumeField().get_tooltip_text(),
              "Объём в литрах, который прошёл через клапан 'Спирт'");
}

TEST_F(MainWindowLayout, PanelControlsUseFreeSans12BoldAndTheStatusLineDoesNot) {
    for (const Placed& p : kLayout) {
        std::string parent = p.parent;
        if (parent == "ClientArea" || std::string(p.name) == "StatusLine" ||
            std::string(p.name).rfind("Lamp", 0) == 0) {
            continue;
        }
        Gtk::Widget& widget = Find(p.name);
        Pango::FontDescription font = widget.get_pango_context()->get_font_description();
        EXPECT_EQ(font.get_family(), "FreeSans") << p.name;
        EXPECT_EQ(font.get_size(), 12 * PANGO_SCALE) << p.name;
        EXPECT_EQ(font.get_weight(), Pango::WEIGHT_BOLD) << p.name;
    }
    Pango::FontDescription status = window.StatusLine().get_pango_context()->get_font_description();
    EXPECT_NE(status.get_weight(), Pango::WEIGHT_BOLD);
    // Windows built from now on get FreeSans 10.
    EXPECT_EQ(Gtk::Settings::get_default()->property_gtk_font_name().get_value(), "FreeSans 10");
}

TEST_F(MainWindowLayout, TemperatureFieldsAreReadOnlyInTheirColour) {
    for (int role = 1; role <= 6; ++role) {
        Gtk::Entry& field = window.TemperatureField(role);
        EXPECT_FALSE(field.get_editable());
        Gdk::RGBA colour = field.get_style_context()->get_color(field.get_state_flags());
        EXPECT_EQ(colour.get_red_u() >> 8, 0) << role;
        EXPECT_EQ(colour.get_green_u() >> 8, 128) << role;
        EXPECT_EQ(colour.get_blue_u() >> 8, 192) << role;
    }
}

TEST_F(MainWindowLayout, StoppedStateEnablesStartsAndThresholds) {
    struct Enabled {
        const char* name;
        bool enabled;
    };
    const std::vector<Enabled> states = {
        {"TsaThreshold", true},   {"CondenserThreshold", true}, {"ColumnThreshold", true},
        {"Column1Start", true},   {"Column1Pause", false},      {"Column1Stop", false},
        {"Column1Skip", false},   {"Valve1Button", true},       {"StillThreshold", true},
        {"Column2Start", true},   {"Column2Stop", false},       {"UpperThreshold", true},
        {"LowerThreshold", true}, {"Column3Start", true},       {"Column3Stop", false},
    };
    for (const Enabled& e : states) {
        EXPECT_EQ(Find(e.name).is_sensitive(), e.enabled) << e.name;
    }
    for (int valve = 1; valve <= 3; ++valve) {
        EXPECT_TRUE(window.ValveButton(valve).get_visible());
        EXPECT_FALSE(window.ValveButton(valve).get_active());
    }
    for (int kind = 0; kind <= 8; ++kind) {
        EXPECT_EQ(window.LampOf(kind).State(), 2) << kind;
    }
}

TEST_F(MainWindowLayout, HeadersAndSeparatorAreDrawnInTheirColours) {
    ProcessEvents();
    auto shot = Gdk::Pixbuf::create(window.get_window(), 0, 0, 1004, 684);
    ASSERT_TRUE(shot);
    const int top = PlaceIn(Find("ClientArea"), window).get_y();
    // Left end of each header strip, clear of its centred text.
    for (int panel_y : {120 + 4, 396 + 4, 504 + 12}) {
        auto pixel = PixelAt(shot, 3, top + panel_y + 8);
        EXPECT_EQ(pixel, (std::array<int, 3>{64, 128, 128})) << panel_y;
    }
    const int separator = top + 120 + 64;
    EXPECT_EQ(PixelAt(shot, 10, separator), (std::array<int, 3>{250, 250, 250}));
    EXPECT_EQ(PixelAt(shot, 10, separator + 1), (std::array<int, 3>{220, 220, 220}));
    EXPECT_EQ(PixelAt(shot, 10, separator + 2), (std::array<int, 3>{190, 190, 190}));
    EXPECT_EQ(PixelAt(shot, 10, separator + 3), (std::array<int, 3>{170, 170, 170}));
    // The header text is white.
    bool white = false;
    for (int x = 200; x < 316 && !white; ++x) {
        for (int y = top + 124; y < top + 140; ++y) {
            white = white || PixelAt(shot, x, y) == std::array<int, 3>{255, 255, 255};
        }
    }
    EXPECT_TRUE(white);
}

TEST_F(MainWindowLayout, MenusHoldTheirItems) {
    auto labels = [](Gtk::Menu& menu) {
        std::vector<std::string> texts;
        for (Gtk::Widget* child : menu.get_children()) {
            auto* item = dynamic_cast<Gtk::MenuItem*>(child);
            texts.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(child) ? "-" : item->get_label());
        }
        return texts;
    };
    auto& bar = dynamic_cast<Gtk::MenuBar&>(Find("MenuBar"));
    auto bar_items = bar.get_children();
    ASSERT_EQ(bar_items.size(), 2u);
    auto* title = dynamic_cast<Gtk::MenuItem*>(bar_items[0]);
    EXPECT_EQ(title->get_label(), "Настройки");
    EXPECT_EQ(labels(*title->get_submenu()), (std::vector<std::string>{"Основные", "Датчики"}));
    auto* journal = dynamic_cast<Gtk::MenuItem*>(bar_items[1]);
    EXPECT_EQ(journal->get_label(), "Журнал");
    EXPECT_EQ(labels(*journal->get_submenu()), (std::vector<std::string>{"Заметка…"}));
    const std::vector<std::string> popup = {"Настройки", "-", "Автопрокрутка"};
    EXPECT_EQ(labels(window.ChartPopup()), popup);
    EXPECT_EQ(labels(window.LogPopup()), popup);
    EXPECT_TRUE(window.LogAutoScrollItem().get_active());
    EXPECT_EQ(labels(window.RoleMenu()),
              (std::vector<std::string>{"Не используется", "-", "ав. ТСА", "ав. Конденсатор",
                                        "д. Колонна", "д. Куб", "д. Брага", "Датчик 6"}));
}

TEST_F(MainWindowLayout, ChartScrollBarStartsEmptyAndLogListHasOneFixedColumn) {
    auto adjustment = window.ChartScrollBar().get_adjustment();
    EXPECT_EQ(adjustment->get_lower(), 0);
    EXPECT_EQ(adjustment->get_upper(), 0);
    EXPECT_EQ(adjustment->get_page_size(), 0);
    Gtk::TreeView& list = window.LogList();
    ASSERT_EQ(list.get_n_columns(), 1u);
    EXPECT_EQ(list.get_column(0)->get_title(), "");
    EXPECT_EQ(list.get_column(0)->get_sizing(), Gtk::TREE_VIEW_COLUMN_FIXED);
    EXPECT_EQ(list.get_column(0)->get_fixed_width(), 458);
    EXPECT_TRUE(list.get_headers_visible());
    EXPECT_FALSE(list.get_column(0)->get_clickable());
    EXPECT_EQ(list.get_selection()->get_mode(), Gtk::SELECTION_SINGLE);
}

}  // namespace
}  // namespace flextor::test
