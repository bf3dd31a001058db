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

bool TallyHasTrouble(const EventTally& tally)
{
    static const Outcome TROUBLE[] = { REFUSED_SYSTEM_FOLDER, REFUSED_PATH, FAILED_REMOVAL, FAILED_CHECK,
                                       FAILED_SAVE_USERS, PROGRAM_REFUSED, PROGRAM_FAILED, PROFILE_FAILED };
    for (Outcome outcome : TROUBLE) {
        if (tally.nCounts[outcome] != 0)
            return true;
    }
    return false;
}
