// The sensors window under X with the real polling thread on a simulated bus:
// what a person sees after opening it, after a search, and what reaches
// Setting.ini through Apply, OK and Cancel.
#include "ui/sensors_window/sensors_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "core/log/message_log.h"
#include "core/sensors/sensor_handover.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"
#include "core/state/program_state.h"
#include "owsim/sim_bus.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"
#include "platform/sensors/poll_thread.h"
#include "support/sensor_row.h"
#include "support/temp_dir.h"
#include "ui/gtk_test_support.h"

namespace flextor {
namespace {

using test::PlaceIn;
using test::ProcessEvents;

using Saved = std::vector<std::pair<int64_t, int>>;  // ID and role of each saved sensor

// A window whose questions are answered Yes by the test.
class AnsweredSensorsWindow : public SensorsWindow {
  public:
    using SensorsWindow::SensorsWindow;
    std::vector<std::string> questions;

  protected:
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return true;
    }
    void ShowWarning(const std::string& text) override { questions.push_back(text); }
};

class SensorsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        old_folder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.path());
        onewire::LinkOptions = onewire::kLinkSleep;
        onewire::EchoWaitStretch = 8;  // the bus answers from a thread of this process
        ASSERT_TRUE(bus_.Start());
        saved_ = bus_.AddSensor(owsim::kFamilyDS18B20, 0x0A, 215);
        found_ = bus_.AddSensor(owsim::kFamilyDS18S20, 0x0B, 305);
        // Saved as the program starts: one sensor with role 1 on the bus's port.
        Settings.Sensor.PortName = bus_.PortName();
        SensorParam row;
        row.ID = onewire::RomCodeID(saved_);
        row.Use = 1;
        SettingSensors = {row};
        row.Flag = kFlagTemperatureSensor;
        ProgVar.Sensors.Sensor = {row};
        {
            std::lock_guard lock(SensorShare.Mutex);
            SensorShare.PortName = Settings.Sensor.PortName;
            SensorShare.Sensor = ProgVar.Sensors.Sensor;
        }
        PollerOptions options;
        options.pause_steps = 2;
        options.pause_step = std::chrono::milliseconds(5);
        poller_ = std::make_unique<SensorPoller>(options);
        ASSERT_TRUE(poller_->Start(SensorShare, [this] { exchanged_ = true; }));
        window_ = std::make_unique<AnsweredSensorsWindow>(
            main_, std::vector<std::string>{"ttyS0", bus_.PortName()});
        test::ShowAndWait(*window_, 560, 288);
    }

    void TearDown() override {
        window_.reset();
        if (poller_) {
            EXPECT_TRUE(poller_->Stop());
        }
        bus_.Stop();
        std::filesystem::current_path(old_folder_);
        onewire::LinkOptions = 0;
        onewire::EchoWaitStretch = 1;
        ResetMessageLog();
        ResetSettings();
        ResetProgramState();
    }

    // Runs the GUI thread, with the data events the thread posts, until done
    // holds; the logic cycle's list refresh comes with each hand-over. The limit
    // is for a machine loaded by other builds and suites, not a goal.
    bool RunUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end) {
            ProcessEvents();
            if (done()) {
                return true;
            }
            if (exchanged_.exchange(false)) {
                SensorDataHandover();
                window_->RefreshSensorList();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // Searches and waits until the new sensor has a reading in the list.
    void Search() {
        window_->SearchButton().clicked();
        ASSERT_TRUE(RunUntil([this] {
            return ProgVar.Sensors.Sensor.size() == 2 && window_->CellText(1, 2) == "30.5 °C";
        }));
    }

    void ChooseRoleOf(int row, int role) {
        window_->List().get_selection()->select(Gtk::TreePath(std::to_string(row)));
        ASSERT_TRUE(window_->PrepareRoleMenu());
        EXPECT_TRUE(main_.RoleMenuItem(window_->Roles().at(row)).get_active());
        main_.RoleMenuItem(role).activate();
    }

    // What Setting.ini holds now.
    Saved SavedSensors() {
        ResetSettings();
        LoadSettings();
        Saved saved;
        for (const SensorParam& row : SettingSensors) {
            saved.emplace_back(row.ID, row.Use);
        }
        return saved;
    }

    int64_t Id(const owsim::RomCode& rom) { return onewire::RomCodeID(rom); }

    test::TempDir folder_;
    std::filesystem::path old_folder_;
    owsim::SimBus bus_;
    owsim::RomCode saved_{};
    owsim::RomCode found_{};
    std::unique_ptr<SensorPoller> poller_;
    std::atomic<bool> exchanged_{false};
    test::TestMainWindow main_;
    std::unique_ptr<AnsweredSensorsWindow> window_;
};

TEST_F(SensorsWindowTest, OpensWithItsControlsInPlaceAndFindsTheBusDevices) {
    const std::pair<Gtk::Widget*, Gdk::Rectangle> places[] = {
        {&window_->PortList(), {64, 8, 144, 28}},
        {&window_->SearchButton(), {224, 8, 144, 28}},
        {&window_->DeleteButton(), {380, 8, 176, 28}},
        {window_->List().get_parent(), {4, 44, 552, 196}},
        {&window_->SerialBox(), {4, 252, 260, 20}},
        {&window_->OkButton(), {272, 248, 76, 28}},
        {&window_->CancelButton(), {352, 248, 84, 28}},
        {&window_->ApplyButton(), {440, 248, 116, 28}},
    };
    for (const auto& [widget, place] : places) {
        EXPECT_EQ(PlaceIn(*widget, *window_), place) << widget->get_name();
    }
    // Small enough for the 800 × 480 touch display as it is.
    EXPECT_EQ(test::ViewOf(*window_), nullptr);
    test::ExpectEveryControlReachable(*window_);
    EXPECT_EQ(window_->PortList().get_active_text(), bus_.PortName());
    EXPECT_EQ(window_->PortList().get_model()->children().size(), 2u);
    EXPECT_FALSE(window_->DeleteButton().get_sensitive());
    EXPECT_EQ(PollAll, 1);
    EXPECT_EQ(window_->CellText(0, 1), "Датчик 1 (ав. ТСА)");
    EXPECT_EQ(window_->CellText(0, 2), "Датчик не найден");  // no hand-over yet

    Search();
    EXPECT_EQ(window_->CellText(0, 0), owsim::FormatRom(saved_));
    EXPECT_EQ(window_->CellText(0, 2), "21.5 °C");
    EXPECT_EQ(window_->CellText(1, 0), owsim::FormatRom(found_));
    EXPECT_EQ(window_->CellText(1, 1), "Не используется");
    EXPECT_FALSE(window_->DeleteButton().get_sensitive());

    // A row the bus does not answer: its not-found mark comes with the next
    // readings, and the delete button with it.
    ProgVar.Sensors.Sensor.push_back(test::SensorRow(owsim::kFamilyDS18B20, 0x0C, 0));
    ProgVar.Sensors.Sensor.back().Flag = kFlagTemperatureSensor;
    ASSERT_TRUE(RunUntil([this] { return window_->DeleteButton().get_sensitive(); }));
    EXPECT_EQ(window_->CellText(2, 2), "Датчик не найден");
}

TEST_F(SensorsWindowTest, RolesReachTheSettingsFileOnlyThroughApplyOrOk) {
    Search();
    ChooseRoleOf(1, 1);
    EXPECT_EQ(window_->questions.back(),
              "Эта функция назначена другому датчику.\r\nПереназначить?");
    EXPECT_EQ(window_->CellText(0, 1), "Не используется");
    EXPECT_EQ(window_->CellText(1, 1), "Датчик 1 (ав. ТСА)");
    EXPECT_EQ(ProgVar.Sensors.Sensor[1].Use, 0);
    EXPECT_FALSE(std::filesystem::exists("Setting.ini"));

    window_->ApplyButton().clicked();
    EXPECT_TRUE(window_->get_visible());
    EXPECT_EQ(SavedSensors(), (Saved{{Id(saved_), 0}, {Id(found_), 1}}));

    ChooseRoleOf(0, 3);
    EXPECT_EQ(SavedSensors().at(0).second, 0);
    window_->OkButton().clicked();
    EXPECT_FALSE(window_->get_visible());
    EXPECT_EQ(PollAll, 0);
    EXPECT_EQ(SavedSensors(), (Saved{{Id(saved_), 3}, {Id(found_), 1}}));
}

TEST_F(SensorsWindowTest, CancelAfterASearchBringsBackOnlyTheSavedRows) {
    Search();
    ChooseRoleOf(0, 4);
    window_->CancelButton().clicked();
    EXPECT_FALSE(window_->get_visible());
    EXPECT_EQ(PollAll, 0);
    ASSERT_EQ(ProgVar.Sensors.Sensor.size(), 1u);
    EXPECT_EQ(ProgVar.Sensors.Sensor[0].ID, Id(saved_));
    EXPECT_EQ(ProgVar.Sensors.Sensor[0].Use, 1);
    EXPECT_FALSE(std::filesystem::exists("Setting.ini"));
    // The thread drops the found device too: later hand-overs do not bring it.
    ASSERT_TRUE(RunUntil([] {
        std::lock_guard lock(SensorShare.Mutex);
        return (SensorShare.Command & (kCmdReopen | kCmdNewTable)) == 0 &&
               (SensorShare.Command & kCmdFreshData) != 0;
    }));
    std::lock_guard lock(SensorShare.Mutex);
    EXPECT_EQ(SensorShare.Sensor.size(), 1u);
}

}  // namespace
}  // namespace flextor
