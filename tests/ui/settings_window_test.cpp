// The settings window as a person uses it: dependent controls, what OK, Apply
// and Cancel leave in the settings, the option files and on the chart, the page
// it opens on, and its layout in the operators' locale.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "app/window_slot.h"
#include "base/files/file_io.h"
#include "core/chart/chart_control.h"
#include "core/chart/chart_model.h"
#include "core/options/options.h"
#include "core/settings/settings.h"
#include "support/temp_dir.h"
#include "ui/gtk_test_support.h"
#include "ui/settings_window/page_place.h"
#include "ui/settings_window/phone_qr_dialog.h"
#include "ui/settings_window/settings_window.h"

namespace flextor::test {
namespace {

constexpr int kWidth = 516;
constexpr int kHeight = 608;

// A settings window whose questions and warnings go to the test.
class AnsweredSettingsWindow : public SettingsWindow {
  public:
    using SettingsWindow::SettingsWindow;
    bool answer = false;
    std::vector<std::string> questions;
    std::vector<std::string> warnings;

  protected:
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
};

Gtk::Entry& EntryOf(Gtk::Widget& window, const char* name) {
    auto* entry = dynamic_cast<Gtk::Entry*>(FindByName(window, name));
    EXPECT_NE(entry, nullptr) << name;
    return *entry;
}

Gtk::Button& ButtonOf(Gtk::Widget& window, const char* name) {
    return *dynamic_cast<Gtk::Button*>(FindByName(window, name));
}

Gtk::CheckButton& CheckOf(Gtk::Widget& window, const char* name) {
    return *dynamic_cast<Gtk::CheckButton*>(FindByName(window, name));
}

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

class SettingsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSettings();
        ApplyChartSettings();
        CurrentOptions() = Options{};
    }
    void TearDown() override {
        ResetSettings();
        CurrentOptions() = Options{};
    }

    std::unique_ptr<AnsweredSettingsWindow> Open() {
        auto window =
            std::make_unique<AnsweredSettingsWindow>(owner_, (dir_ / "Setting.ini").string());
        ShowAndWait(*window, kWidth, kHeight);
        return window;
    }

    std::string SavedFile() const { return ReadFile(dir_ / "Setting.ini"); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::string Text(const char* name) const { return ReadFile(dir_ / name); }

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

// The fourth page edits Options.ini and Remote.ini; a decimal comma is shown
// and taken in the operators' locale, and only the checks and the resume
// options take effect before a restart.
TEST_F(SettingsWindowTest, ExtraPageWritesBothFilesAndTheOptionsInUse) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    static_cast<void>(std::setlocale(LC_ALL, "ru_RU.UTF-8"));  // where it is installed
    auto window = Open();
    window->ShowPage(SettingsPage::kExtra);
    EXPECT_EQ(window->Pages().get_current_page(), 3);
    EXPECT_EQ(EntryOf(*window, "HotTolerance").get_text(), "5,0");
    EXPECT_FALSE(EntryOf(*window, "MqttPassword").get_visibility());
    EntryOf(*window, "HotTolerance").set_text("7,5");
    EntryOf(*window, "HeatMinutes").set_text(" 45 ");
    EntryOf(*window, "StepLimit").set_text("12.5");
    CheckOf(*window, "ActiveLow").set_active(true);
    CheckOf(*window, "MqttEnabled").set_active(true);
    EntryOf(*window, "MqttHost").set_text("broker.local");
    EntryOf(*window, "MqttPassword").set_text("p@ss;=1");
    CheckOf(*window, "TelegramEnabled").set_active(true);
    EntryOf(*window, "TelegramBotToken").set_text("123:ABC");
    EntryOf(*window, "TelegramChatId").set_text("-100200");
    EntryOf(*window, "NtfyTopic").set_text("дом");
    EntryOf(*window, "HeartbeatSeconds").set_text("30");
    EntryOf(*window, "NotifyName").set_text("Гараж");
    EXPECT_FALSE(EntryOf(*window, "TelegramBotToken").get_visibility());
    // "Проверить" hands the page's fields as typed to the program and shows its answers.
    RemoteSettings checked;
    window->Extra().SetPhoneCheck([&](const RemoteSettings& typed, auto report) {
        checked = typed;
        report("Telegram: сообщение отправлено");
    });
    ButtonOf(*window, "PhoneCheck").clicked();
    EXPECT_EQ(checked.telegram.bot_token, "123:ABC");
    EXPECT_TRUE(checked.telegram.enabled);
    EXPECT_EQ(window->Extra().Phone().CheckText(), "Telegram: сообщение отправлено");
    window->ApplyButton().clicked();
    ProcessEvents();
    std::setlocale(LC_ALL, before.c_str());

    EXPECT_TRUE(window->warnings.empty());
    const std::string options = Text(kOptionsFileName);
    for (const char* line : {"HotTolerance = 7.5\n", "HeatMinutes = 45\n", "StepLimit = 12.5\n",
                             "ActiveLow = 1\n", "HeatRise = 2.0\n"}) {
        EXPECT_NE(options.find(line), std::string::npos) << line << options;
    }
    const std::string remote = Text(kRemoteFileName);
    for (const char* line : {"[Mqtt]\nEnabled = 1\nHost = broker.local\n", "Password = p@ss;=1\n",
                             "[Http]\nEnabled = 0\n",
                             "[Telegram]\nEnabled = 1\nBotToken = 123:ABC\nChatId = -100200\n",
                             "Topic = дом\n", "Seconds = 30\n", "Level = high\nName = Гараж\n"}) {
        EXPECT_NE(remote.find(line), std::string::npos) << line << remote;
    }
    EXPECT_EQ(ModeOf(Path(kRemoteFileName)), 0600u);
    EXPECT_FALSE(SavedFile().empty()) << "Setting.ini is written with them";
    EXPECT_EQ(CurrentOptions().checks.heat_minutes, 45);
    EXPECT_DOUBLE_EQ(CurrentOptions().checks.step_limit, 12.5);
    EXPECT_DOUBLE_EQ(CurrentOptions().resume.hot_tolerance, 7.5);
    EXPECT_FALSE(CurrentOptions().outputs.active_low) << "the outputs change at the next start";
}

TEST_F(SettingsWindowTest, AWrongFieldIsNamedAndNothingIsApplied) {
    struct Case {
        const char* field;
        const char* typed;
        const char* message;  // a part of the warning
    };
    const Case cases[] = {
        {"HotTolerance", "abc", "«Допуск остывания, °C»: «abc» — введите число от 0,5 до 50,0"},
        {"HeatRise", "2,55", "не больше одного знака после запятой"},
        {"StuckMinutes", "0", "введите целое число от 1 до 600"},
        {"MaxOutageMinutes", "", "пусто — введите целое число от 1 до 1440"},
        {"MqttPort", "70000", "«Порт MQTT»: «70000» — введите целое число от 1 до 65535"},
        {"MqttPrefix", "a/#", "не может содержать «+» и «#»"},
        {"MqttPassword", " пароль", "«Пароль»: без пробелов в начале и в конце"},
        {"HttpAddress", "", "«Адрес страницы»: поле не может быть пустым"},
        {"HeartbeatSeconds", "1", "«Сигнал «жив» каждые»: «1» — введите целое число от 2"},
        {"TelegramApiUrl", "", "«Сервер API»: поле не может быть пустым"},
    };
    const int32_t delay = Settings.Logic.DelayMode;
    auto window = Open();
    window->Plant().DelayModeField().set_text("7");
    for (const Case& c : cases) {
        Gtk::Entry& field = EntryOf(*window, c.field);
        const std::string shown = field.get_text();
        field.set_text(c.typed);
        window->warnings.clear();
        window->ShowPage(SettingsPage::kLog);
        window->OkButton().clicked();
        ProcessEvents();
        EXPECT_TRUE(window->get_visible()) << c.field;
        ASSERT_EQ(window->warnings.size(), 1u) << c.field;
        EXPECT_NE(window->warnings[0].find(c.message), std::string::npos) << window->warnings[0];
        EXPECT_EQ(window->Pages().get_current_page(), 3) << c.field;
        EXPECT_TRUE(field.is_sensitive()) << c.field << " is to be put right";
        EXPECT_EQ(Settings.Logic.DelayMode, delay) << c.field;
        EXPECT_TRUE(SavedFile().empty()) << c.field;
        EXPECT_EQ(Text(kOptionsFileName), "") << c.field;
        EXPECT_EQ(Text(kRemoteFileName), "") << c.field;
        EXPECT_DOUBLE_EQ(CurrentOptions().resume.hot_tolerance, 5.0);
        field.set_text(shown);
    }
}

TEST_F(SettingsWindowTest, CancelOrNothingChangedLeavesTheFilesAlone) {
    const std::string options = "; kept as written\n[Checks]\nHeatMinutes = 40\n";
    const std::string remote = "[Http]\r\nEnabled = 1\r\nToken = secret\r\n";
    WriteFile(dir_ / kOptionsFileName, options);
    WriteFile(dir_ / kRemoteFileName, remote);
    {
        auto window = Open();
        EXPECT_EQ(EntryOf(*window, "HeatMinutes").get_text(), "40");
        EXPECT_EQ(EntryOf(*window, "Token").get_text(), "secret");
        EntryOf(*window, "HeatMinutes").set_text("50");
        EntryOf(*window, "HttpPort").set_text("9090");
        window->CancelButton().clicked();
        ProcessEvents();
    }
    auto window = Open();
    EXPECT_EQ(EntryOf(*window, "HeatMinutes").get_text(), "40") << "nothing taken on Cancel";
    window->OkButton().clicked();
    ProcessEvents();
    EXPECT_FALSE(window->get_visible());
    EXPECT_EQ(Text(kOptionsFileName), options);
    EXPECT_EQ(Text(kRemoteFileName), remote);
    EXPECT_EQ(CurrentOptions().checks.heat_minutes, 40);
}

TEST_F(SettingsWindowTest, TokenIsRenewedAfterTheQuestionAndCopied) {
    WriteFile(dir_ / kRemoteFileName, "[Http]\nEnabled = 1\nToken = old\n");
    ASSERT_EQ(chmod(Path(kRemoteFileName).c_str(), 0640), 0);
    auto window = Open();
    Gtk::Entry& token = EntryOf(*window, "Token");
    EXPECT_FALSE(token.get_editable());
    ButtonOf(*window, "NewToken").clicked();
    ASSERT_EQ(window->questions.size(), 1u);
    EXPECT_EQ(token.get_text(), "old") << "answered No";

    window->answer = true;
    ButtonOf(*window, "NewToken").clicked();
    const std::string renewed = token.get_text();
    EXPECT_EQ(renewed.size(), 64u);
    ButtonOf(*window, "CopyToken").clicked();
    EXPECT_EQ(Gtk::Clipboard::get()->wait_for_text(), renewed);
    EXPECT_EQ(Text(kRemoteFileName), "[Http]\nEnabled = 1\nToken = old\n") << "not yet applied";

    window->ApplyButton().clicked();
    ProcessEvents();
    EXPECT_NE(Text(kRemoteFileName).find("Token = " + renewed + "\n"), std::string::npos);
    EXPECT_EQ(ModeOf(Path(kRemoteFileName)), 0600u);

    ASSERT_EQ(chmod(Path(kRemoteFileName).c_str(), 0400), 0);
    CheckOf(*window, "MqttEnabled").set_active(true);
    window->ApplyButton().clicked();
    ProcessEvents();
    EXPECT_NE(Text(kRemoteFileName).find("[Mqtt]\nEnabled = 1\n"), std::string::npos);
    EXPECT_EQ(ModeOf(Path(kRemoteFileName)), 0400u) << "a stricter mode is kept";

    // The page's address with the token for a phone's camera: a QR code whose
    // corners hold the finder patterns.
    const PhoneQrDialog qr(*window, "http://pi.local:8080/?token=" + renewed, false);
    EXPECT_EQ(qr.Url(), "http://pi.local:8080/?token=" + renewed);
    const int side = qr.Code().Width();
    ASSERT_GE(side, 21);
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(qr.Code().Dark(i, 0) && qr.Code().Dark(side - 1 - i, 0) &&
                    qr.Code().Dark(0, side - 1 - i))
            << i;
    }
    EXPECT_FALSE(qr.Code().Dark(1, 1));
}

// The fourth page in the operators' locale: every control inside the page and
// none on top of another.
TEST_F(SettingsWindowTest, ExtraPageControlsFitWithoutOverlap) {
    static const char* const kControls[] = {"ResumeEnabled",
                                            "MaxOutageMinutes",
                                            "HotTolerance",
                                            "ActiveLow",
                                            "ActiveLowWarning",
                                            "HeatCheck",
                                            "HeatMinutes",
                                            "HeatRise",
                                            "StuckCheck",
                                            "StuckMinutes",
                                            "StepCheck",
                                            "StepLimit",
                                            "AlarmOnProblem",
                                            "HttpEnabled",
                                            "HttpAddress",
                                            "HttpPort",
                                            "Token",
                                            "CopyToken",
                                            "NewToken",
                                            "MqttEnabled",
                                            "MqttHost",
                                            "MqttPort",
                                            "MqttUser",
                                            "MqttPassword",
                                            "MqttPrefix",
                                            "MqttDiscoveryPrefix",
                                            "MqttKeepAlive",
                                            "RemoteRestartNote",
                                            "TelegramEnabled",
                                            "TelegramBotToken",
                                            "TelegramChatId",
                                            "TelegramApiUrl",
                                            "NtfyEnabled",
                                            "NtfyServer",
                                            "NtfyTopic",
                                            "NtfyToken",
                                            "HeartbeatUrl",
                                            "HeartbeatSeconds",
                                            "NotifyLevel",
                                            "NotifyName",
                                            "PhoneHelp",
                                            "PhoneCheck",
                                            "PhoneCheckResult"};
    auto window = Open();
    window->ShowPage(SettingsPage::kExtra);
    ShowAndWait(*window, kWidth, kHeight);
    Gtk::Widget& page = *FindByName(*window, "ExtraPage");
    std::vector<Gdk::Rectangle> places;
    for (const char* name : kControls) {
        const Gdk::Rectangle place = PlaceIn(*FindByName(page, name), page);
        EXPECT_TRUE(place.get_x() >= 0 && place.get_y() >= 0 &&
                    place.get_x() + place.get_width() <= page.get_allocated_width() &&
                    place.get_y() + place.get_height() <= page.get_allocated_height())
            << name;
        places.push_back(place);
        for (size_t i = 0; i + 1 < places.size(); ++i) {
            EXPECT_FALSE(places[i].intersects(places.back())) << kControls[i] << " / " << name;
        }
    }
}

// The 800 × 480 touch display: the window in a view that fits the work area,
// every control of each page in reach.
TEST_F(SettingsWindowTest, SmallScreenShowsEachPageInAViewWithEveryControlInReach) {
    if (!SmallScreen()) {
        GTEST_SKIP() << "the screen is not small";
    }
    auto window = Open();
    ASSERT_NE(ViewOf(*window), nullptr);
    for (int page = 0; page < window->Pages().get_n_pages(); ++page) {
        window->Pages().set_current_page(page);
        ShowAndWait(*window, kWidth, kHeight);
        ExpectEveryControlReachable(*window);
    }
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
