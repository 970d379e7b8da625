// What the rest of the program shows on the main window: lamps, the run-state
// dependent controls, the column-1 texts, the temperature fields, the modal
// boxes and the message list.
#include <optional>

#include "core/logic/commands/column_command.h"
#include "core/version.h"
#include "ui/images/embedded_images.h"
#include "ui/main_window/main_window.h"

namespace flextor {

namespace {

// Which controls of a column a run state enables (and, for column 1, whether the
// valve buttons are shown and the volume fields emptied).
struct ControlsRow {
    bool threshold;
    bool threshold2;  // column 3's lower threshold
    bool start;
    bool pause;
    bool stop;
    bool skip;
    bool valves;
    bool empty_volumes;
};

// A column's rows by run state; a state without a row leaves the controls as
// they are.
struct ColumnRows {
    ControlsRow stopped;
    ControlsRow running;
    std::optional<ControlsRow> paused;
    ControlsRow blocked;
};

constexpr ColumnRows kColumn1Rows{
    {true, false, true, false, false, false, true, false},
    {false, false, false, true, true, true, false, true},
    ControlsRow{true, false, true, false, true, true, true, false},
    {false, false, false, false, false, false, false, false},
};
constexpr ColumnRows kColumn2Rows{
    {true, false, true, false, false, false, false, false},
    {false, false, false, false, true, false, false, false},
    std::nullopt,
    {false, false, false, false, false, false, false, false},
};
// A blocked mash column keeps its thresholds editable.
constexpr ColumnRows kColumn3Rows{
    {true, true, true, false, false, false, false, false},
    {false, false, false, false, true, false, false, false},
    std::nullopt,
    {true, true, false, false, false, false, false, false},
};

std::optional<ControlsRow> RowOf(const ColumnRows& rows, int state) {
    if (state >= kControlsBlocked) {
        return rows.blocked;
    }
    switch (state) {
        case kControlsStopped:
            return rows.stopped;
        case kControlsRunning:
            return rows.running;
        case kControlsPaused:
            return rows.paused;
        default:
            return std::nullopt;
    }
}

}  // namespace

void MainWindow::SetIndicator(int kind, int state) {
    LampOf(kind).Set(state);
}

void MainWindow::SetColumnControls(int column, int state) {
    if (column == kColumn1) {
        ReleaseValves();
        auto row = RowOf(kColumn1Rows, state);
        if (!row) {
            return;
        }
        ThresholdBox(Threshold::kColumn).set_sensitive(row->threshold);
        column1_start_.set_sensitive(row->start);
        column1_pause_.set_sensitive(row->pause);
        column1_stop_.set_sensitive(row->stop);
        column1_skip_.set_sensitive(row->skip);
        for (auto& button : valve_buttons_) {
            button.set_visible(row->valves);
        }
        if (row->empty_volumes) {
            heads_volume_.set_text("");
            spirit_volume_.set_text("");
        }
    } else if (column == kColumn2) {
        auto row = RowOf(kColumn2Rows, state);
        if (!row) {
            return;
        }
        ThresholdBox(Threshold::kStill).set_sensitive(row->threshold);
        column2_start_.set_sensitive(row->start);
        column2_stop_.set_sensitive(row->stop);
    } else if (column == kColumn3) {
        auto row = RowOf(kColumn3Rows, state);
        if (!row) {
            return;
        }
        ThresholdBox(Threshold::kMashUpper).set_sensitive(row->threshold);
        ThresholdBox(Threshold::kMashLower).set_sensitive(row->threshold2);
        column3_start_.set_sensitive(row->start);
        column3_stop_.set_sensitive(row->stop);
    }
}

void MainWindow::SetStatusText(const std::string& text) {
    if (status_line_.get_text() != text) {
        status_line_.set_text(text);
    }
}

void MainWindow::SetPwmText(const std::string& text) {
    if (pwm_field_.get_text() != text) {
        pwm_field_.set_text(text);
    }
}

void MainWindow::SetHeadsVolumeText(const std::string& text) {
    heads_volume_.set_text(text);
}

void MainWindow::SetSpiritVolumeText(const std::string& text) {
    spirit_volume_.set_text(text);
}

void MainWindow::SetTemperatureText(int role, const std::string& text) {
    if (role >= 1 && role <= static_cast<int>(temperatures_.size())) {
        TemperatureField(role).set_text(text);
    }
}

// A modal box over the window, captioned with its title; the operator's answer.
int MainWindow::RunBox(const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons) {
    Gtk::MessageDialog box(*this, text, false, type, buttons, true);
    box.set_title(kMainWindowTitle);
    return box.run();
}

void MainWindow::ShowRefusal(const std::string& text) {
    RunBox(text, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK);
}

void MainWindow::ShowError(const std::string& text) {
    RunBox(text, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
}

bool MainWindow::AskYesNo(const std::string& text) {
    return RunBox(text, Gtk::MESSAGE_OTHER, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES;
}

void MainWindow::AppendRow(const std::string& text, uint8_t level) {
    Gtk::TreeModel::Row row = *log_store_->append();
    row[log_columns_.icon] = GetLevelImage(level);
    row[log_columns_.text] = text;
}

void MainWindow::SelectLastRow() {
    const auto count = log_store_->children().size();
    if (count == 0) {
        return;
    }
    Gtk::TreePath last;
    last.push_back(static_cast<int>(count - 1));
    log_list_.get_selection()->select(last);
    log_list_.scroll_to_row(last);
}

}  // namespace flextor
