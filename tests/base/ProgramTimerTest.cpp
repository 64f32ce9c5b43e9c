#include "engine/base/ProgramTimer.h"
#include "engine/base/TaskList.h"

#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// Waits with the event loop running, as the timers need.
bool RunUntil(const std::function<bool()>& condition)
{
    return WaitUntil([&] {
        QCoreApplication::processEvents();
        return condition();
    });
}

TEST(ProgramTimerTest, TicksWhileSuspendedAreDroppedAndNotMadeUp)
{
    int ticks = 0;
    // Its first tick stops it: ticks made up after the suspension would come all the same.
    ProgramTimer timer(1, [&] {
        ++ticks;
        timer.Stop();
    });
    {
        TaskListSuspension drag;
        timer.Start();
        ASSERT_TRUE(RunUntil([&] { return timer.DroppedTicks() >= 3; }));
        EXPECT_EQ(ticks, 0);
    }
    const int64_t dropped = timer.DroppedTicks();
    ASSERT_TRUE(RunUntil([&] { return ticks >= 1; }));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_EQ(timer.DroppedTicks(), dropped);
}

TEST(ProgramTimerTest, TicksAtItsPeriodUntilStopped)
{
    int ticks = 0;
    ProgramTimer timer(TaskTimerPeriodMs, [&] {
        if (++ticks == 2)
            timer.Stop();
    });
    EXPECT_EQ(timer.PeriodMs(), 32);
    EXPECT_FALSE(timer.IsActive());
    timer.Start();
    EXPECT_TRUE(timer.IsActive());
    ASSERT_TRUE(RunUntil([&] { return !timer.IsActive(); }));
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(timer.DroppedTicks(), 0);
}

} // namespace
