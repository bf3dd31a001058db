#include "FlushCommand.h"

#include <windows.h>
#include <strsafe.h>
#include <wchar.h>

#include "FilterReport.h"
#include "PendraxEvents.h"
#include "ProgramEventLog.h"

const wchar_t kPanelEventSource[] = L"Pendrax";

namespace {

struct FlushOutcome
{
    WriteFilterDevice::FlushResult result;
    WORD type;
    DWORD id;
    LPCWSTR text;
};

const FlushOutcome kOutcomes[] = {
    { WriteFilterDevice::FLUSH_DONE, EVENTLOG_INFORMATION_TYPE, PENDRAX_FLUSHED,
      L"Pendrax /f flushed the write filter's cache." },
    { WriteFilterDevice::FLUSH_NOT_OPENED, EVENTLOG_ERROR_TYPE, PENDRAX_FLUSH_NOT_OPENED,
      L"Pendrax /f did not flush: the write filter's device could not be opened." },
    { WriteFilterDevice::FLUSH_CACHE_FULL, EVENTLOG_ERROR_TYPE, PENDRAX_FLUSH_CACHE_FULL,
      L"Pendrax /f did not flush: the write filter's cache is full. Restart the terminal." },
    { WriteFilterDevice::FLUSH_STATUS_UNREAD, EVENTLOG_ERROR_TYPE, PENDRAX_FLUSH_STATUS_UNREAD,
      L"Pendrax /f did not flush: the write filter did not tell its state." },
    { WriteFilterDevice::FLUSH_FAILED, EVENTLOG_ERROR_TYPE, PENDRAX_FLUSH_FAILED,
      L"Pendrax /f did not flush: the write filter refused the flush." },
};

// The result's sentence, the exit status, and the state as "/q" would print
// it now: after a flush its figures, after a failure what the device says
// (a driver that is disabled rather than missing, a cache that is full).
void Report(WORD type, DWORD id, LPCWSTR sentence, int exitStatus)
{
    WriteFilterDevice device;
    PanelState state = ReadFilterState(device, GENERIC_READ);
    wchar_t report[512];
    if (!FormatFilterReport(state, device, report, ARRAYSIZE(report)))
        report[0] = L'\0';
    wchar_t text[1024];
    // Cut rather than lost, should it not fit; StringCchPrintfW terminates.
    StringCchPrintfW(text, ARRAYSIZE(text), L"%s Exit status %d.\r\n%s", sentence, exitStatus,
                     report);
    // The report's last line end would show as an empty line in the viewer.
    size_t length = wcslen(text);
    if (length >= 2 && text[length - 2] == L'\r')
        text[length - 2] = L'\0';
    ReportProgramEvent(kPanelEventSource, type, id, text);
}

} // namespace

int RunFlush()
{
    // Before the flush, so that the flush carries the registration into the
    // image with everything else.
    RegisterProgramEventSource(kPanelEventSource);
    WriteFilterDevice::FlushResult result = WriteFilterDevice().Flush(GENERIC_READ | GENERIC_WRITE);
    int exitStatus = WriteFilterDevice::ExitStatusOf(result);
    for (const FlushOutcome& outcome : kOutcomes) {
        if (outcome.result == result)
            Report(outcome.type, outcome.id, outcome.text, exitStatus);
    }
    return exitStatus;
}

void ReportFlushRefusedForOpenPanel()
{
    RegisterProgramEventSource(kPanelEventSource);
    Report(EVENTLOG_WARNING_TYPE, PENDRAX_FLUSH_PANEL_OPEN,
           L"Pendrax /f did not flush: a status dialog was open. Flush once it is closed.",
           kExitPanelOpen);
}
