// The count of cleanups at work and the stop's bounded wait for them, inside
// this test process. A stop's refusal lasts for the life of the process, so
// the cases run in one test, in order.
#include <windows.h>
#include <gtest/gtest.h>

#include "service/RunningEvents.h"
#include "service/ServiceRuntime.h"

namespace {

DWORD WINAPI EndOneEventLater(LPVOID delayMs)
{
    Sleep((DWORD)(ULONG_PTR)delayMs);
    EndRunningEvent();
    return 0;
}

HANDLE EndOneEventAfter(DWORD delayMs)
{
    return CreateThread(NULL, 0, EndOneEventLater, (LPVOID)(ULONG_PTR)delayMs, 0, NULL);
}

} // namespace

TEST(RunningEvents, AStopWaitsForEveryEventWithinItsLimitAndRefusesNewOnes)
{
    // No status handle: the wait reports nothing to a service control manager.
    serviceStatusHandle = NULL;
    EXPECT_EQ(RunningEventCount(), 0);
    ASSERT_TRUE(BeginRunningEvent());
    ASSERT_TRUE(BeginRunningEvent());
    EXPECT_EQ(RunningEventCount(), 2);

    // Both still at work when the limit runs out.
    DWORD start = GetTickCount();
    EXPECT_FALSE(WaitForRunningEvents(300));
    EXPECT_GE(GetTickCount() - start, 300u);
    EXPECT_EQ(RunningEventCount(), 2);
    EXPECT_FALSE(BeginRunningEvent()) << "an event that comes once the stop has begun is refused";
    EXPECT_EQ(RunningEventCount(), 2) << "a refused event is not counted";

    // One ends after 200 ms, the other after 700 ms: the wait sees both end.
    HANDLE first = EndOneEventAfter(200);
    HANDLE second = EndOneEventAfter(700);
    ASSERT_NE(first, (HANDLE)NULL);
    ASSERT_NE(second, (HANDLE)NULL);
    start = GetTickCount();
    EXPECT_TRUE(WaitForRunningEvents(10000));
    EXPECT_GE(GetTickCount() - start, 600u) << "the wait returned before the second event ended";
    EXPECT_EQ(RunningEventCount(), 0);
    EXPECT_FALSE(BeginRunningEvent());
    WaitForSingleObject(first, INFINITE);
    WaitForSingleObject(second, INFINITE);
    CloseHandle(first);
    CloseHandle(second);
}
