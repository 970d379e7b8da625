// The GUI suite: GTK is started once for all tests, on an X display. Without a
// usable one (DISPLAY unset, or its server gone) the suite starts an Xvfb of its
// own; without Xvfb it says so at once and skips every test.
#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "support/x_server.h"

bool DisplayOpens();  // display_check.cpp: X's headers do not mix with GTK's

namespace {

class NoDisplay : public testing::Environment {
  public:
    void SetUp() override { GTEST_SKIP() << "no X display and no Xvfb to start"; }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<flextor::test::PrivateXServer> own_server;
    if (!DisplayOpens()) {
        own_server = std::make_unique<flextor::test::PrivateXServer>();
        if (own_server->Running()) {
            setenv("DISPLAY", own_server->Display().c_str(), 1);
        }
    }
    if (!DisplayOpens()) {
        std::fprintf(stderr, "tests_ui: no X display and Xvfb could not be started: skipped\n");
        testing::AddGlobalTestEnvironment(new NoDisplay);
        return RUN_ALL_TESTS();
    }
    auto app =
        Gtk::Application::create(argc, argv, "org.flextor.tests", Gio::APPLICATION_NON_UNIQUE);
    return RUN_ALL_TESTS();
}
