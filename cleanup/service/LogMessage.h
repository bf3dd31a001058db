// The service's diagnostic channel to the event log: information entries
// under -Debug, and the few entries written in every case.
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

// The writer under both: one entry of the given type and identifier whose
// only string is `text` as it stands, whatever its length, written also
// without -Debug. For an entry whose text the caller builds and bounds.
void ReportEntry(WORD nType, DWORD nId, const char* source, const char* text);
