#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/log/message_log.h"
#include "log_fixture.h"

namespace flextor {
namespace {

using PostLogMessageTest = test::LogTest;

TEST_F(PostLogMessageTest, MessagesFromAnotherThreadArriveInPostingOrder) {
    std::atomic<int> wakeups{0};
    SetLogMessageWakeup([&wakeups] { ++wakeups; });
    const int count = 200;

    std::thread poller([] {
        for (int i = 0; i < count; ++i) {
            // The polling thread posts with the exchange block locked.
            std::lock_guard lock(SensorShare.Mutex);
            PostLogMessage("message " + std::to_string(i), static_cast<uint8_t>(i % 4));
        }
    });
    poller.join();
    EXPECT_EQ(wakeups.load(), count);
    EXPECT_TRUE(view.rows.empty()) << "nothing is logged before the GUI thread handles it";

    HandleLogMessageEvent();
    ASSERT_EQ(view.rows.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(view.rows[i].text, "[18:24:07]  message " + std::to_string(i));
        // Levels 1 and 2 pass; any other level is posted as information.
        EXPECT_EQ(view.rows[i].level, i % 4 == 3 ? 0 : i % 4);
    }
    HandleLogMessageEvent();
    EXPECT_EQ(view.rows.size(), static_cast<size_t>(count));
}

TEST_F(PostLogMessageTest, HandlingWhileThreadsPostKeepsEachThreadsOrder) {
    const int count = 300;
    auto poster = [](const std::string& name) {
        for (int i = 0; i < count; ++i) {
            PostLogMessage(name + std::to_string(i), kLevelInfo);
        }
    };
    std::thread a(poster, "a");
    std::thread b(poster, "b");
    while (view.rows.size() < 2 * count) {
        HandleLogMessageEvent();
        std::this_thread::yield();
    }
    a.join();
    b.join();

    int next_a = 0;
    int next_b = 0;
    for (const auto& row : view.rows) {
        std::string text = row.text.substr(std::string("[18:24:07]  ").size());
        int& next = text[0] == 'a' ? next_a : next_b;
        EXPECT_EQ(text.substr(1), std::to_string(next++));
    }
    EXPECT_EQ(next_a, count);
    EXPECT_EQ(next_b, count);
}

TEST_F(PostLogMessageTest, WakeupMayHandleTheMessageAtOnce) {
    // A wake-up that runs the handler straight away finds the queue unlocked.
    SetLogMessageWakeup([] { HandleLogMessageEvent(); });
    PostLogMessage("at once", kLevelError);
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0].level, kLevelError);
}

}  // namespace
}  // namespace flextor
