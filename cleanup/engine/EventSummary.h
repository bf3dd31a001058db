// The one event log entry that sums up an event, from its tally.
#pragma once

#include <windows.h>

// The event identifier of the entry for each SystemEvent: 1 at service
// start-up, 2 at logoff, 3 at shutdown (Fenwash.mc); 0 for anything else.
DWORD EventSummaryId(DWORD nEvent);

// Writes the entry of the event whose tally StartEventTally began: an
// information entry when nothing was refused or failed, a warning otherwise;
// nothing when [Parameters] EventSummary=0. A preview writes the entry's text
// to its report instead.
void ReportEventSummary(DWORD nEvent);
