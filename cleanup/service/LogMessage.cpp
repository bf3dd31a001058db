#include "LogMessage.h"

#include <stdarg.h>
#include <strsafe.h>

BYTE logDisabled = 1;

namespace {

void ReportEntry(WORD nType, const char* source, const char* format, va_list args)
{
    // A text that does not fit is cut; StringCchVPrintfA always terminates.
    char message[MAX_PATH];
    StringCchVPrintfA(message, sizeof message, format, args);

    HANDLE eventSource = RegisterEventSourceA(NULL, source);
    if (eventSource == NULL)
        return;

    const char* strings[1] = { message };
    ReportEventA(eventSource, nType, 0, 0, NULL, 1, 0, strings, NULL);
    DeregisterEventSource(eventSource);
}

} // namespace

void LogMessage(const char* source, const char* format, ...)
{
    if (logDisabled)
        return;
    va_list args;
    va_start(args, format);
    ReportEntry(EVENTLOG_INFORMATION_TYPE, source, format, args);
    va_end(args);
}

void LogWarning(const char* source, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    ReportEntry(EVENTLOG_WARNING_TYPE, source, format, args);
    va_end(args);
}
