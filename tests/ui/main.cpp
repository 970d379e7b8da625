// The GUI suite: GTK is started once for all tests, on an Xvfb of the suite's
// own (the DISPLAY given when Xvfb cannot be started). Without any usable display
// it says so at once and skips every test.
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
    // An X server of the suite's own, so that two runs side by side (the C and the
    // Russian locale) never share focus or a display number; the DISPLAY given is
    // the fallback. With FLEXTOR_TEST_GIVEN_DISPLAY set the DISPLAY given is used,
    // as for the small screen's tests under their own xvfb-run.
    std::unique_ptr<flextor::test::PrivateXServer> own_server;
    if (std::getenv("FLEXTOR_TEST_GIVEN_DISPLAY") == nullptr) {
        own_server = std::make_unique<flextor::test::PrivateXServer>();
    }
    if (own_server && own_server->Running()) {
        setenv("DISPLAY", own_server->Display().c_str(), 1);
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
