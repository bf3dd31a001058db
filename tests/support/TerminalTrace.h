// Test access to the terminal's event log: the entries that this process
// reported, read back from the session's debug trace.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "EventLogTrace.h"

// Marks the current end of the trace; entries after it are "new".
class TraceMark
{
public:
    TraceMark();
    // Entries of this process reported since the mark, in trace order.
    std::vector<EventLogEntry> NewEntries() const;
    // Entries of another process (a service that services.exe started writes
    // to the same session trace) reported since the mark.
    std::vector<EventLogEntry> NewEntriesOf(DWORD processId) const;

private:
    size_t m_offset;
};

// The whole trace as it stands; empty if it cannot be read.
std::string ReadTerminalTrace();

// The UTF-8 form of an ANSI text of the terminal's code page, to compare
// with what the trace gives back.
std::string AnsiToUtf8(const std::string& ansi);
