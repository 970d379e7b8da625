#include "app/application.h"

#include <gtk/gtk.h>
#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "app/display_wait.h"
#include "app/guard/guard_spawn.h"
#include "app/instance/one_instance.h"
#include "app/program.h"
#include "app/program_folder.h"
#include "core/version.h"

namespace flextor {
namespace {

constexpr std::chrono::milliseconds kDisplayRetryPause{500};

// GTK and its C++ wrappers. Without a display it tries again for up to wait
// (a session starting the program at login may not have one yet); false when
// none came.
bool StartToolkit(std::chrono::seconds wait) {
    // The name and icon of the menu entry, so that a panel shows the window as
    // the program it started.
    g_set_prgname(kProgramName);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (gtk_init_check(nullptr, nullptr) == FALSE) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kDisplayRetryPause, deadline - now));
    }
    Gtk::Main::init_gtkmm_internals();
    gtk_window_set_default_icon_name(kProgramName);
    return true;
}

// A controller is never suspended from its terminal (Ctrl-Z, a background
// read or write): a stopped program would leave its outputs as they are.
void IgnoreJobControl() {
    for (const int signal_number : {SIGTSTP, SIGTTIN, SIGTTOU}) {
        std::signal(signal_number, SIG_IGN);
    }
}

}  // namespace

int RunApplication(const CommandLine& command_line) {
    const ProgramFolderChoice folder = ChooseProgramFolder();
    if (!folder.error.empty()) {
        std::fprintf(stderr, "flextor: %s\n", folder.error.c_str());
        return 1;
    }
    // Still the only thread: the guard's descriptor number may go into the environment.
    static_cast<void>(ReserveGuardSlot());
    IgnoreJobControl();
    const DisplayWait wait = DisplayWaitFromEnvironment();
    if (!wait.error.empty()) {
        std::fprintf(stderr, "flextor: %s\n", wait.error.c_str());
        return 1;
    }
    if (!StartToolkit(wait.limit)) {
        if (wait.limit.count() > 0) {
            std::fprintf(stderr, "flextor: cannot open the display (waited %lld s)\n",
                         static_cast<long long>(wait.limit.count()));
        } else {
            std::fprintf(stderr, "flextor: cannot open the display\n");
        }
        return 1;
    }
    // One program per plant: refused here, before anything touches a pin.
    PlantLock plant_lock;
    if (!TakePlantLock(plant_lock, folder.folder, !command_line.crash_file.empty())) {
        return 1;
    }
    int exit_code = 0;
    bool abandoned = false;
    {
        Program program;
        program.WatchRefusedStarts(plant_lock);
        exit_code = program.Run(command_line);
        abandoned = program.ThreadAbandoned();
    }
    if (abandoned) {
        // The polling thread that was let go may still be using the process's
        // globals: end without destroying them.
        std::fflush(nullptr);
        _exit(exit_code);
    }
    return exit_code;
}

}  // namespace flextor
