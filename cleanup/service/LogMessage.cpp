#include "LogMessage.h"

#include <stdarg.h>
#include <strsafe.h>

BYTE logDisabled = 1;

void LogMessage(const char* source, const char* format, ...)
{
    if (logDisabled)
        return;

    // A text that does not fit is cut; StringCchVPrintfA always terminates.
    char message[MAX_PATH];
    va_list args;
    va_start(args, format);
    StringCchVPrintfA(message, sizeof message, format, args);
    va_end(args);

    HANDLE eventSource = RegisterEventSourceA(NULL, source);
    if (eventSource == NULL)
        return;

    const char* strings[1] = { message };
    ReportEventA(eventSource, EVENTLOG_INFORMATION_TYPE, 0, 0, NULL, 1, 0, strings, NULL);
    DeregisterEventSource(eventSource);
}
