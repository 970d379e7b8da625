// The main window as the column logic sees it: lamps, the column controls, the
// column-1 status texts and fields, the six temperature fields and the modal
// boxes. The GTK main window implements it; tests put a recording double here.
//
// GUI thread only. Every text is UTF-8 and is shown exactly as given.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// Indicator lamps.
inline constexpr int kLampAlarm = 0;
inline constexpr int kLampPulse = 1;
inline constexpr int kLampColumn1 = 2;
inline constexpr int kLampValve1 = 3;
inline constexpr int kLampValve2 = 4;
inline constexpr int kLampValve3 = 5;
inline constexpr int kLampColumn2 = 6;
inline constexpr int kLampCol3Upper = 7;
inline constexpr int kLampCol3Lower = 8;

// Lamp states.
inline constexpr int kLampOff = 2;
inline constexpr int kLampAttention = 3;
inline constexpr int kLampOn = 4;

// Column run states as the controls show them (128 and above: blocked).
inline constexpr int kControlsStopped = 0;
inline constexpr int kControlsRunning = 1;
inline constexpr int kControlsPaused = 2;
inline constexpr int kControlsBlocked = 128;

class StatusDisplay {
  public:
    virtual ~StatusDisplay() = default;

    // Shows state (2 off, 3 attention, any other value on) on lamp kind (0..8;
    // any other kind means lamp 8), but only when the lamp's remembered state
    // differs. Every lamp remembers 0 until its first change.
    virtual void SetIndicator(int kind, int state) = 0;

    // Enables, disables, shows and hides the buttons and threshold boxes of
    // column (0, 1 or 2) for run state (0, 1, 2, or 128 and above). For column 0
    // it also releases the three valve toggle buttons with caption "Закр.",
    // whatever the state. The core has already cleared the hand valve, put the
    // valve lamps off and emptied the PWM field (and, for state 1, the two volume
    // fields) through the calls below, so the window need not do it again.
    virtual void SetColumnControls(int column, int state) = 0;

    // The column-1 status line.
    virtual void SetStatusText(const std::string& text) = 0;
    // The PWM field beside "ШИМ".
    virtual void SetPwmText(const std::string& text) = 0;
    // The litre fields of valve 1 ("Г. Фракция") and valve 2 ("Спирт").
    virtual void SetHeadsVolumeText(const std::string& text) = 0;
    virtual void SetSpiritVolumeText(const std::string& text) = 0;

    // The temperature field of a sensor role (1..6: TSA, condenser, column,
    // still, mash, sensor 6).
    virtual void SetTemperatureText(int role, const std::string& text) = 0;

    // A modal box with an OK button, captioned with the main window's title.
    // Returns when the operator has closed it.
    virtual void ShowRefusal(const std::string& text) = 0;
    // A modal Yes/No question without an icon, captioned with the main window's
    // title. True only when the operator answered Yes.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;
};

// The display the logic writes to; nullptr (the default) shows nothing and
// answers every question with No. Installing a display forgets which status
// and PWM texts were last shown, so the next ones are written in any case.
void SetStatusDisplay(StatusDisplay* display);
StatusDisplay* CurrentStatusDisplay();

}  // namespace flextor
