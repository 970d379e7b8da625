#include "app/resumed_window.h"

#include "core/crash/crash_resume.h"

namespace flextor {

void ShowResumedWindow(MainWindow& window) {
    const uint8_t valve = ShowResumedRun();
    if (valve != 0) {
        // Pressed as the operator would: the click opens the valve again.
        window.ValveButton(valve).set_active(true);
    }
}

}  // namespace flextor
