// The message list with its level marks and auto-scroll, and the pop-up menus
// and menu items of the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/chart/chart_model.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/temp_dir.h"
#include "ui/gtk_test_support.h"
#include "ui/images/embedded_images.h"
#include "ui/main_window/note_dialog.h"

namespace flextor::test {
namespace {

class LogAndMenus : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
    }

    // Sends a press of mouse button to widget as the X server would.
    void Click(Gtk::Widget& widget, guint button) {
        GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
        event->button.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
        event->button.button = button;
        event->button.x = 20;
        event->button.y = 20;
        event->button.time = GDK_CURRENT_TIME;
        gdk_event_set_device(
            event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_widget_event(widget.gobj(), event);
        gdk_event_free(event);
        ProcessEvents();
    }

    TestMainWindow window;
};

TEST_F(LogAndMenus, RowsCarryTheirLevelMarkAndTheNewestIsScrolledIntoView) {
    ShowAndWait(window, 1004, 684);
    Gtk::TreeView& list = window.LogList();
    for (int i = 0; i < 40; ++i) {
        window.AppendRow("[12:00:" + std::to_string(10 + i) + "]  row " + std::to_string(i),
                         static_cast<uint8_t>(i % 3));
    }
    window.SelectLastRow();
    ShowAndWait(window, 1004, 684);  // the list scrolls once its rows are measured

    auto model = list.get_model();
    ASSERT_EQ(model->children().size(), 40u);
    Gtk::TreeModel::Row row = *model->children()[1];
    Glib::RefPtr<Gdk::Pixbuf> icon;
    Glib::ustring text;
    row.get_value(0, icon);
    row.get_value(1, text);
    EXPECT_EQ(text, "[12:00:11]  row 1");
    EXPECT_EQ(icon, GetLevelImage(1));
    (*model->children()[2]).get_value(0, icon);
    EXPECT_EQ(icon, GetLevelImage(2));

    auto selected = list.get_selection()->get_selected();
    ASSERT_TRUE(selected);
    EXPECT_EQ(model->get_path(selected)[0], 39);
    Gtk::TreePath first;
    Gtk::TreePath last;
    ASSERT_TRUE(list.get_visible_range(first, last));
    EXPECT_EQ(last[0], 39);
    EXPECT_GT(first[0], 0);
}

TEST_F(LogAndMenus, MessagesOfTheLogAppearInTheList) {
    SetLogView(&window);
    Settings.Log.AutoScroll = 1;
    AddLogMessage("Начата работа колонки 3 (Брага)", 0);
    AddLogMessage("Что-то не так", 2);
    SetLogView(nullptr);
    auto model = window.LogList().get_model();
    ASSERT_EQ(model->children().size(), 2u);
    Glib::ustring row_text;
    (*model->children()[0]).get_value(1, row_text);
    const std::string text = row_text;
    EXPECT_EQ(text.substr(0, 1), "[");
    EXPECT_NE(text.find("]  Начата работа колонки 3 (Брага)"), std::string::npos);
    auto selected = window.LogList().get_selection()->get_selected();
    ASSERT_TRUE(selected);
    EXPECT_EQ(model->get_path(selected)[0], 1);
}

TEST_F(LogAndMenus, ChartPopupShowsTheFlagAndItsItemTurnsItOver) {
    ShowAndWait(window, 1004, 684);
    int changes = 0;
    window.Hooks().chart_auto_scroll_changed = [&changes] { ++changes; };
    EXPECT_FALSE(window.ChartAutoScrollItem().get_active());  // created unchecked
    Settings.Graph.AutoScroll = 1;
    Click(window.ChartCanvas(), 3);
    EXPECT_TRUE(window.ChartPopup().get_visible());
    EXPECT_TRUE(window.ChartAutoScrollItem().get_active());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(SaveCounter, 100);

    window.ChartAutoScrollItem().activate();
    window.ChartPopup().popdown();
    EXPECT_EQ(Settings.Graph.AutoScroll, 0);
    EXPECT_EQ(SaveCounter, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Settings.Log.AutoScroll, 1);  // the other flag stays
}

TEST_F(LogAndMenus, LogPopupShowsTheFlagAndItsItemTurnsItOver) {
    ShowAndWait(window, 1004, 684);
    EXPECT_TRUE(window.LogAutoScrollItem().get_active());  // created checked
    Settings.Log.AutoScroll = 0;
    Click(window.LogList(), 3);
    EXPECT_TRUE(window.LogPopup().get_visible());
    EXPECT_FALSE(window.LogAutoScrollItem().get_active());
    EXPECT_EQ(SaveCounter, 100);

    window.LogAutoScrollItem().activate();
    window.LogPopup().popdown();
    EXPECT_EQ(Settings.Log.AutoScroll, 1);
    EXPECT_EQ(SaveCounter, 0);
    EXPECT_EQ(Settings.Graph.AutoScroll, 1);
}

TEST_F(LogAndMenus, MenuItemsAskForTheirWindowsAndPages) {
    std::vector<SettingsPage> pages;
    int sensors = 0;
    window.Hooks().open_settings = [&pages](SettingsPage page) { pages.push_back(page); };
    window.Hooks().open_sensors = [&sensors] { ++sensors; };
    auto item = [](Gtk::Menu& menu, size_t index) {
        return dynamic_cast<Gtk::MenuItem*>(menu.get_children().at(index));
    };
    item(window.ChartPopup(), 0)->activate();
    item(window.LogPopup(), 0)->activate();
    auto* bar = dynamic_cast<Gtk::MenuBar*>(FindByName(window, "MenuBar"));
    Gtk::Menu* settings = dynamic_cast<Gtk::MenuItem*>(bar->get_children()[0])->get_submenu();
    item(*settings, 0)->activate();
    item(*settings, 1)->activate();
    EXPECT_EQ(pages, (std::vector<SettingsPage>{SettingsPage::kChart, SettingsPage::kLog,
                                                SettingsPage::kKeep}));
    EXPECT_EQ(sensors, 1);

    std::vector<int> roles;
    window.Hooks().role_chosen = [&roles](int role) { roles.push_back(role); };
    window.CheckRoleMenuItem(3);  // marks without choosing
    EXPECT_TRUE(window.RoleMenuItem(3).get_active());
    EXPECT_FALSE(window.RoleMenuItem(0).get_active());
    EXPECT_TRUE(roles.empty());
    window.RoleMenuItem(0).activate();
    window.RoleMenuItem(5).activate();
    EXPECT_EQ(roles, (std::vector<int>{0, 5}));
}

// Answers the note dialog once it is open: Отмена first, then OK with text.
TEST_F(LogAndMenus, NoteItemOpensTheDialogAndItsOkPutsTheNoteOnTheChartAndInTheJournal) {
    TempDir dir;
    OpenJournal(dir.str() + "/", false);
    Chart.marks.clear();
    for (const auto& [response, text] : {std::pair{Gtk::RESPONSE_CANCEL, "Не та"},
                                         std::pair{Gtk::RESPONSE_OK, "  Сменил воду  "}}) {
        int seen = 0;
        sigc::connection answer = Glib::signal_timeout().connect(
            [&seen, response, text] {
                for (Gtk::Window* open : Gtk::Window::list_toplevels()) {
                    if (auto* dialog = dynamic_cast<NoteDialog*>(open)) {
                        ++seen;
                        dialog->TextField().set_text(text);
                        dialog->response(response);
                        return false;
                    }
                }
                return true;
            },
            20);
        window.NoteMenuItem().activate();
        answer.disconnect();
        EXPECT_EQ(seen, 1);
    }
    ASSERT_EQ(Chart.marks.size(), 1u);
    EXPECT_EQ(Chart.marks[0].text, "Сменил воду");
    const std::vector<JournalFile> files = ListJournalFiles(JournalFolder());
    ASSERT_EQ(files.size(), 1u);  // no column runs: the day's notes
    const auto events = ParseJournalText(ReadFile(JournalFolder() + files[0].name));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, "заметка");
    EXPECT_EQ(events[0].text, "Сменил воду");
    ResetJournal();
}

}  // namespace
}  // namespace flextor::test
