#include "RunningEvents.h"

namespace {

// Plain interlocked values, so that nothing needs setting up before the first
// event or tearing down after the last. A begin counts first and then looks at
// the refusal, a stop refuses first and then looks at the count: with both
// steps interlocked, either the begin sees the refusal or the stop sees the
// count.
volatile LONG runningCount = 0;
volatile LONG refused = 0;

} // namespace

bool BeginRunningEvent()
{
    InterlockedIncrement(&runningCount);
    if (InterlockedCompareExchange(&refused, 0, 0) != 0) {
        InterlockedDecrement(&runningCount);
        return false;
    }
    return true;
}

void EndRunningEvent()
{
    InterlockedDecrement(&runningCount);
}

void RefuseNewEvents()
{
    InterlockedExchange(&refused, 1);
}

LONG RunningEventCount()
{
    return InterlockedCompareExchange(&runningCount, 0, 0);
}
