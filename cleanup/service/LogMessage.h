// The service's one diagnostic channel: information entries in the event log.
#pragma once

#include <windows.h>

// Nonzero while logging is off (the start value); the -Debug switch clears it.
extern BYTE logDisabled;

// Formats the message printf-style and reports it as one information entry
// whose event source is `source`. Texts longer than the 259 characters of the
// message buffer are cut at 259. Silent while logDisabled is set.
void LogMessage(const char* source, const char* format, ...);

// The same as a warning entry, written also without -Debug: for what an
// administrator must hear of on every terminal.
void LogWarning(const char* source, const char* format, ...);
