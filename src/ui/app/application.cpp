#include "ui/app/application.h"

#include <gtkmm.h>

#include "core/version.h"

namespace flextor {

int RunApplication(const CommandLine& /*command_line*/) {
    auto app = Gtk::Application::create("org.flextor.controller", Gio::APPLICATION_NON_UNIQUE);
    Gtk::Window window;
    window.set_title(kMainWindowTitle);
    window.set_default_size(1004, 684);
    return app->run(window);
}

}  // namespace flextor
