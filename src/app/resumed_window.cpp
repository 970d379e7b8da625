#include "app/resumed_window.h"

#include "core/crash/crash_resume.h"

namespace flextor {

namespace {

void OpenValveAgain(MainWindow& window, uint8_t valve) {
    if (valve != 0) {
        // Pressed as the operator would: the click opens the valve again.
        window.ValveButton(valve).set_active(true);
    }
}

}  // namespace

void ShowResumedWindow(MainWindow& window) {
    OpenValveAgain(window, ShowResumedRun());
}

void ShowResumedWindow(MainWindow& window, const std::string& message) {
    OpenValveAgain(window, ShowResumedRun(message));
}

}  // namespace flextor
