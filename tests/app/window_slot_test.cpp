#include "app/window_slot.h"

#include <gtest/gtest.h>

#include "ui/gtk_test_support.h"

namespace flextor::test {
namespace {

TEST(WindowSlot, OpensOneWindowRaisesItWhenOpenedAgainAndMakesANewOneAfterClose) {
    WindowSlot slot;
    EXPECT_EQ(slot.Open(), nullptr);  // nothing to open without a factory

    int made = 0;
    slot.SetFactory([&made] {
        ++made;
        return std::make_unique<Gtk::Window>();
    });
    Gtk::Window* first = slot.Open();
    ASSERT_NE(first, nullptr);
    ProcessEvents();
    first->iconify();
    ProcessEvents();
    EXPECT_EQ(slot.Open(), first);
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(first->get_visible());

    first->hide();  // as its close button or its own Cancel does
    EXPECT_EQ(slot.Current(), nullptr);
    ProcessEvents();  // destroyed once its hide signal has finished

    Gtk::Window* second = slot.Open();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(made, 2);
    slot.Hide();
    EXPECT_EQ(slot.Current(), nullptr);
    ProcessEvents();
}

}  // namespace
}  // namespace flextor::test
