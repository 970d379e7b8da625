// When the simulated adapter lets each echo block through: line times at the
// rate the bytes were sent at, the transmitter busy with one block at a time,
// the latency on top, and blocks never overtaking each other.
#include "owsim/echo_schedule.h"

#include <gtest/gtest.h>

namespace flextor::owsim {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(EchoSchedule, DueTimesOfSingleBlocks) {
    struct Case {
        const char* name;
        EchoTiming timing;
        std::size_t bytes;
        int baud;
        microseconds due;  // after the block was read
    };
    const Case cases[] = {
        {"at once", {}, 72, 115200, microseconds(0)},
        {"reset on the wire", {true, {}, {}}, 1, 9600, microseconds(1041)},
        {"block on the wire", {true, {}, {}}, 152, 115200, microseconds(13194)},
        {"latency only", {false, milliseconds(16), {}}, 80, 115200, microseconds(16000)},
        {"line time, latency and delay",
         {true, milliseconds(1), milliseconds(2)},
         8,
         115200,
         microseconds(3694)},
    };
    const SimClock::time_point start{};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EchoSchedule schedule;
        schedule.Add(std::string(c.bytes, '\xFF'), c.bytes, c.baud, c.timing, start);
        ASSERT_TRUE(schedule.NextDue().has_value());
        auto due = std::chrono::duration_cast<microseconds>(*schedule.NextDue() - start);
        EXPECT_EQ(due, c.due);
        EXPECT_EQ(schedule.TakeDue(start + c.due - microseconds(1)), "");
        EXPECT_EQ(schedule.TakeDue(start + c.due + microseconds(1)).size(), c.bytes);
        EXPECT_TRUE(schedule.Empty());
    }
}

TEST(EchoSchedule, BlocksQueueBehindEachOtherOnTheWireAndKeepTheirOrder) {
    EchoSchedule schedule;
    const SimClock::time_point start{};
    const EchoTiming wire{true, milliseconds(16), {}};
    schedule.Add("a", 80, 115200, wire, start);  // on the wire until 6.94 ms
    schedule.Add("b", 8, 115200, wire, start);   // waits for the first block
    EchoTiming fast;                             // no latency: still behind "b"
    schedule.Add("c", 1, 115200, fast, start);
    EXPECT_EQ(schedule.TakeDue(start + microseconds(22940)), "");
    EXPECT_EQ(schedule.TakeDue(start + microseconds(22950)), "a");
    EXPECT_EQ(schedule.TakeDue(start + microseconds(23640)), "bc");
    EXPECT_FALSE(schedule.NextDue().has_value());

    schedule.Add("d", 1, 115200, wire, start);
    schedule.Clear();
    EXPECT_TRUE(schedule.Empty());
    schedule.Add("e", 1, 115200, wire, start);  // the wire is free again
    EXPECT_EQ(schedule.TakeDue(start + microseconds(16087)), "e");
}

}  // namespace
}  // namespace flextor::owsim
