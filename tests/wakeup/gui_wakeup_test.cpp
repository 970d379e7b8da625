#include "app/gui_wakeup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <glibmm/init.h>
#include <glibmm/main.h>

namespace flextor::test {
namespace {

void ProcessEvents() {
    Glib::init();
    auto context = Glib::MainContext::get_default();
    while (context->pending()) {
        context->iteration(false);
    }
}

// Runs the main loop until condition holds, for at most two seconds.
template <typename Condition>
bool RunLoopUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        Glib::MainContext::get_default()->iteration(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

TEST(GuiWakeup, RunsTheHandlerOnTheGuiThreadOnceForWakeupsThatCameTogether) {
    GuiWakeup wakeup;
    int calls = 0;
    std::thread::id handler_thread;
    wakeup.Bind([&] {
        ++calls;
        handler_thread = std::this_thread::get_id();
    });
    std::thread other([waker = wakeup.Waker()] {
        for (int i = 0; i < 100; ++i) {
            waker();
        }
    });
    other.join();

    ASSERT_TRUE(RunLoopUntil([&] { return calls > 0; }));
    ProcessEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(handler_thread, std::this_thread::get_id());

    // A wake-up after the handler ran brings it round again.
    wakeup.Waker()();
    EXPECT_TRUE(RunLoopUntil([&] { return calls == 2; }));
}

TEST(GuiWakeup, AfterUnbindAndAfterItIsGoneAWakerDoesNothing) {
    int calls = 0;
    std::function<void()> waker;
    {
        GuiWakeup wakeup;
        wakeup.Bind([&] { ++calls; });
        waker = wakeup.Waker();
        waker();  // on its way when the handler is unbound
        wakeup.Unbind();
        waker();
        ProcessEvents();
    }
    waker();  // the wakeup is gone: nothing to wake, nothing to crash
    ProcessEvents();
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace flextor::test
