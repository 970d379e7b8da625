#include "app/application.h"

#include <gtk/gtk.h>
#include <gtkmm.h>
#include <unistd.h>

#include <cstdio>

#include "app/program.h"

namespace flextor {
namespace {

// GTK and its C++ wrappers; false without a display.
bool StartToolkit() {
    if (gtk_init_check(nullptr, nullptr) == FALSE) {
        return false;
    }
    Gtk::Main::init_gtkmm_internals();
    return true;
}

}  // namespace

int RunApplication(const CommandLine& command_line) {
    if (!StartToolkit()) {
        std::fprintf(stderr, "flextor: cannot open the display\n");
        return 1;
    }
    int exit_code = 0;
    bool abandoned = false;
    {
        Program program;
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
