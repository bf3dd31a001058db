// The write filter's state and figures as lines of text for scripts and
// the event log: what "Pendrax /q" prints, and what a "/f" entry ends with.
#pragma once

#include <windows.h>

#include "PanelState.h"

// The cache's use in whole percent, rounded down, so that 100 means full:
// a full cache (WriteFilterDevice::CacheFull, also 0 of 0 blocks) is 100.
unsigned CacheUsePercent(const WriteFilterDevice& device);

// One "name=value" line each, ending in CR LF: the state line as the status
// dialog shows it, and, when the state has them, the four figures of the
// status record and the cache's use. False when the text did not fit.
bool FormatFilterReport(PanelState state, const WriteFilterDevice& device, wchar_t* text,
                        size_t size);
