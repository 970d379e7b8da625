// The GUI suite: GTK is started once for all tests, on an X display (Xvfb).
#include <gtest/gtest.h>
#include <gtkmm.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    auto app =
        Gtk::Application::create(argc, argv, "org.flextor.tests", Gio::APPLICATION_NON_UNIQUE);
    return RUN_ALL_TESTS();
}
