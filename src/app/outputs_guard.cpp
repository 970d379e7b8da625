#include "app/outputs_guard.h"

#include <X11/Xlib.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/guard/guard_link.h"
#include "core/log/message_log.h"
#include "platform/gpio/pin_out.h"

namespace flextor {
namespace {

constexpr int kLowAttempts = 5;
constexpr std::chrono::milliseconds kLowPause{50};

std::atomic<bool> armed{false};
std::terminate_handler previous_terminate = nullptr;
XIOErrorHandler previous_display_handler = nullptr;

// Runs at most once, on whichever thread ends the program. The window may be
// unusable by now, so the message goes only to the log file and stderr.
void DriveOutputsLowBeforeEnd(const char* reason) {
    if (!armed.exchange(false)) {
        return;
    }
    const OutputsLow outputs = DriveAllOutputsLow(kLowAttempts, kLowPause);
    if (outputs.AllLow()) {
        static_cast<void>(UnexportPins());  // a pin left exported is harmless once low
        DismissGuardBeforeEnd();  // else the outputs guard tries the pins that stayed high
    }
    std::string text = std::string("Аварийное завершение программы (") + reason + ")";
    text += outputs.AllLow() ? ": все выходы выключены."
                             : ": не удалось выключить выходы " + outputs.FailedText();
    std::fprintf(stderr, "flextor: %s\n", text.c_str());
    std::fflush(stderr);
    SetLogView(nullptr);
    AddLogMessage(text, kLevelError);
}

void OnExit() {
    DriveOutputsLowBeforeEnd("выход без остановки программы");
}

[[noreturn]] void OnTerminate() {
    DriveOutputsLowBeforeEnd("необработанная ошибка");
    if (previous_terminate != nullptr) {
        previous_terminate();
    }
    std::abort();
}

// Xlib ends the process after this returns (the toolkit's own handler, called
// last, ends it at once).
int OnDisplayLost(Display* display) {
    DriveOutputsLowBeforeEnd("потеряно соединение с дисплеем");
    if (previous_display_handler != nullptr) {
        return previous_display_handler(display);
    }
    std::_Exit(1);
}

}  // namespace

bool DriveOutputsLowAndReport() {
    const OutputsLow outputs = DriveAllOutputsLow(kLowAttempts, kLowPause);
    if (outputs.AllLow()) {
        return true;
    }
    const std::string text = "Не удалось выключить выходы " + outputs.FailedText();
    AddLogMessage(text, kLevelError);
    std::fprintf(stderr, "flextor: %s\n", text.c_str());
    std::fflush(stderr);
    return false;
}

void ArmOutputsGuard() {
    static const bool installed = [] {
        std::atexit(OnExit);
        previous_terminate = std::set_terminate(OnTerminate);
        return true;
    }();
    static_cast<void>(installed);
    armed.store(true);
}

void DisarmOutputsGuard() {
    armed.store(false);
}

void GuardAgainstDisplayLoss() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) {
        return;
    }
    XIOErrorHandler previous = XSetIOErrorHandler(OnDisplayLost);
    if (previous != OnDisplayLost) {
        previous_display_handler = previous;
    }
}

}  // namespace flextor
