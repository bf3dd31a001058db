// "Pendrax /q": the write filter's state for scripts, without a window.
#pragma once

#include "PanelState.h"

// The exit status that tells the state: 10 ACTIVE, 11 INACTIVE, 12 DISABLED,
// 13 FAILED to load, 14 NOT ACCESSIBLE. Apart from the statuses of "/f"
// (0, 1, -1, 2), so that a script cannot take a report for a flush.
int QueryExitStatus(PanelState state);

// Reads the state and figures, writes them to standard output (the lines of
// FormatFilterReport, in the system's ANSI code page) and returns the exit
// status. Only reads: it never flushes and never writes the registry, so it
// may run beside an open status dialog.
int RunQuery();
