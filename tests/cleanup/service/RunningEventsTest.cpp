// The stop's wait for the cleanups at work ends at its limit, in this test
// process; waiting for cleanups that end is tested on the terminal.
#include <windows.h>
#include <gtest/gtest.h>

#include "service/RunningEvents.h"
#include "service/ServiceRuntime.h"

TEST(RunningEvents, AStopWaitsNoLongerThanItsLimitAndRefusesNewEvents)
{
    serviceStatusHandle = NULL; // nothing to report to
    ASSERT_TRUE(BeginRunningEvent());
    DWORD start = GetTickCount();
    EXPECT_FALSE(WaitForRunningEvents(300));
    EXPECT_GE(GetTickCount() - start, 300u);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(BeginRunningEvent()) << "an event that comes once the stop has begun is refused";
    EXPECT_EQ(RunningEventCount(), 1) << "and not counted";
    EndRunningEvent();
    EXPECT_TRUE(WaitForRunningEvents(300));
}
