#include "TerminalTrace.h"

#include <stdlib.h>

std::string ReadTerminalTrace()
{
    const char* path = getenv("VT_TRACE");
    std::string trace;
    if (path == NULL || !ReadTraceFile(path, trace))
        trace.clear();
    return trace;
}

TraceMark::TraceMark() : m_offset(ReadTerminalTrace().size()) {}

std::vector<EventLogEntry> TraceMark::NewEntries() const
{
    return NewEntriesOf(GetCurrentProcessId());
}

std::vector<EventLogEntry> TraceMark::NewEntriesOf(DWORD processId) const
{
    std::string trace = ReadTerminalTrace();
    std::vector<EventLogEntry> found;
    if (trace.size() < m_offset)
        return found;
    for (const EventLogEntry& entry : ParseEventLogTrace(trace.substr(m_offset))) {
        if (entry.process == processId)
            found.push_back(entry);
    }
    return found;
}

std::string AnsiToUtf8(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), NULL, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &wide[0], wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, NULL, 0, NULL, NULL);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, NULL, NULL);
    return utf8;
}
