#include <gtest/gtest.h>

#include <string>

#include "timer_queue.h"

namespace devsim {
namespace {

TEST(TimerQueue, RunsDueTasksInTimeThenSchedulingOrder)
{
    TimerQueue q;
    std::string order;
    q.Schedule(30, [&] { order += 'c'; });
    q.Schedule(10, [&] { order += 'a'; });
    q.Schedule(10, [&] { order += 'b'; });  // same millisecond: after 'a'
    q.Schedule(50, [&] { order += 'd'; });
    EXPECT_EQ(q.NextDue(), 10);
    q.RunDue(9);
    EXPECT_EQ(order, "");
    q.RunDue(30);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(q.size(), 1u);
    EXPECT_EQ(q.NextDue(), 50);
}

TEST(TimerQueue, TasksMayScheduleAndClear)
{
    TimerQueue q;
    int runs = 0;
    // A task that schedules another one already due runs it in the same pass; one due
    // later waits.
    q.Schedule(0, [&] {
        ++runs;
        q.Schedule(0, [&] { ++runs; });
        q.Schedule(100, [&] { ++runs; });
    });
    q.RunDue(0);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(q.NextDue(), 100);
    q.Schedule(100, [&] { q.Clear(); });
    q.Schedule(100, [&] { ++runs; });
    q.RunDue(100);
    EXPECT_EQ(runs, 3);  // the first 100 ms task ran, then the clear dropped the last
    EXPECT_FALSE(q.NextDue().has_value());
}

}  // namespace
}  // namespace devsim
