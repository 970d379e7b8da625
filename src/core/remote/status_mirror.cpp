#include "core/remote/status_mirror.h"

namespace flextor {

void StatusMirror::SetIndicator(int kind, int state) {
    // The window takes any other kind as lamp 8; so does the mirror.
    const int lamp = kind >= 0 && kind < kMirrorLamps ? kind : kMirrorLamps - 1;
    lamps_[static_cast<size_t>(lamp)] = state;
    if (display_ != nullptr) {
        display_->SetIndicator(kind, state);
    }
}

void StatusMirror::SetColumnControls(int column, int state) {
    if (column >= 0 && column < 3) {
        controls_[static_cast<size_t>(column)] = state;
    }
    if (display_ != nullptr) {
        display_->SetColumnControls(column, state);
    }
}

void StatusMirror::SetStatusText(const std::string& text) {
    status_text_ = text;
    if (display_ != nullptr) {
        display_->SetStatusText(text);
    }
}

void StatusMirror::SetPwmText(const std::string& text) {
    pwm_text_ = text;
    if (display_ != nullptr) {
        display_->SetPwmText(text);
    }
}

void StatusMirror::SetHeadsVolumeText(const std::string& text) {
    heads_volume_ = text;
    if (display_ != nullptr) {
        display_->SetHeadsVolumeText(text);
    }
}

void StatusMirror::SetSpiritVolumeText(const std::string& text) {
    spirit_volume_ = text;
    if (display_ != nullptr) {
        display_->SetSpiritVolumeText(text);
    }
}

void StatusMirror::SetTemperatureText(int role, const std::string& text) {
    if (role >= 1 && role <= 6) {
        temperature_texts_[static_cast<size_t>(role - 1)] = text;
    }
    if (display_ != nullptr) {
        display_->SetTemperatureText(role, text);
    }
}

const std::string& StatusMirror::TemperatureText(int role) const {
    static const std::string kNone;
    return role >= 1 && role <= 6 ? temperature_texts_[static_cast<size_t>(role - 1)] : kNone;
}

void StatusMirror::ShowRefusal(const std::string& text) {
    if (display_ != nullptr) {
        display_->ShowRefusal(text);
    }
}

bool StatusMirror::AskYesNo(const std::string& text) {
    return display_ != nullptr && display_->AskYesNo(text);
}

void StatusMirror::AppendRow(const std::string& text, uint8_t level) {
    log_rows_.push_back(LogRow{text, level});
    if (log_rows_.size() > kMirrorLogRows) {
        log_rows_.pop_front();
    }
    ++log_count_;
    if (log_ != nullptr) {
        log_->AppendRow(text, level);
    }
}

void StatusMirror::SelectLastRow() {
    if (log_ != nullptr) {
        log_->SelectLastRow();
    }
}

}  // namespace flextor
