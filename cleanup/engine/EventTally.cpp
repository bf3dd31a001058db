#include "EventTally.h"

// One event at a time (the event lock of ProcessEvents), so one tally.
static EventTally eventTally;

void StartEventTally()
{
    eventTally = EventTally();
    eventTally.nStartTick = GetTickCount();
}

void Tally(Outcome outcome)
{
    ++eventTally.nCounts[outcome];
}

const EventTally& CurrentEventTally()
{
    return eventTally;
}
