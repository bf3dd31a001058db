// "Pendrax /f": the unattended flush, and the one event log entry (source
// "Pendrax") that tells its result.
#pragma once

extern const wchar_t kPanelEventSource[];

// The exit status of a "/f" run that found a status dialog open and so
// flushed nothing: a script must not take it for a flush (0), nor for a
// missing driver (1) or a full cache (-1).
const int kExitPanelOpen = 2;

// Flushes the cache, reports the result and returns the exit status of
// WriteFilterDevice::ExitStatusOf (0 flushed, 1 no device, -1 otherwise).
int RunFlush();

// The entry of a "/f" run that found a status dialog open and so did
// nothing.
void ReportFlushRefusedForOpenPanel();
