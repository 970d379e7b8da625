#include "ui/app/application.h"

#include <gtkmm.h>

#include "ui/main_window/main_window.h"

namespace flextor {

int RunApplication(const CommandLine& /*command_line*/) {
    auto app = Gtk::Application::create("org.flextor.controller", Gio::APPLICATION_NON_UNIQUE);
    MainWindow window;
    window.ShowThresholds();
    return app->run(window);
}

}  // namespace flextor
