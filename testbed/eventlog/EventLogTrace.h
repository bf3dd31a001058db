// Reads event log entries back out of a terminal's debug trace.
//
// The terminal's event log calls are stubs that only write to the trace (the
// session runs with WINEDEBUG=+pid,+eventlog,fixme+advapi). For each report a
// thread leaves, all under the same "pid:tid:" prefix:
//   fixme:advapi:RegisterEventSourceA ((null),"SOURCE")
//   fixme:advapi:ReportEventA (handle,0x0004,0x0000,0x00000000,...)
//   trace:eventlog:ReportEventW L"TEXT"          (one line per string)
// The trace escapes what it prints; the reader undoes that and returns UTF-8.
#pragma once

#include <string>
#include <vector>

struct EventLogEntry
{
    unsigned long process = 0;
    unsigned long thread = 0;
    std::string source;
    unsigned type = 0;
    unsigned category = 0;
    unsigned long id = 0;
    std::vector<std::string> strings;
    bool truncated = false;   // the trace cut a string short ("...")
};

// Entries in the order the trace holds them; lines of other kinds are skipped.
std::vector<EventLogEntry> ParseEventLogTrace(const std::string& trace);

// Reads a whole trace file; false when it cannot be read.
bool ReadTraceFile(const char* path, std::string& trace);
