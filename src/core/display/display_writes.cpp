#include "core/display/display_writes.h"

#include <optional>

#include "core/display/status_display.h"

namespace flextor {
namespace {

std::optional<std::string> shownStatus;
std::optional<std::string> shownPwm;

bool Changed(std::optional<std::string>& shown, const std::string& text) {
    if (shown && *shown == text) {
        return false;
    }
    shown = text;
    return true;
}

}  // namespace

void SetIndicator(int kind, int state) {
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->SetIndicator(kind, state);
    }
}

void WriteStatusText(const std::string& text) {
    StatusDisplay* display = CurrentStatusDisplay();
    if (display && Changed(shownStatus, text)) {
        display->SetStatusText(text);
    }
}

void WritePwmText(const std::string& text) {
    StatusDisplay* display = CurrentStatusDisplay();
    if (display && Changed(shownPwm, text)) {
        display->SetPwmText(text);
    }
}

void WriteHeadsVolume(const std::string& text) {
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->SetHeadsVolumeText(text);
    }
}

void WriteSpiritVolume(const std::string& text) {
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->SetSpiritVolumeText(text);
    }
}

void WriteTemperatureText(int role, const std::string& text) {
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->SetTemperatureText(role, text);
    }
}

void ShowRefusal(const std::string& text) {
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->ShowRefusal(text);
    }
}

bool AskYesNo(const std::string& text) {
    StatusDisplay* display = CurrentStatusDisplay();
    return display != nullptr && display->AskYesNo(text);
}

void ForgetShownTexts() {
    shownStatus.reset();
    shownPwm.reset();
}

}  // namespace flextor
