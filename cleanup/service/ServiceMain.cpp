#include "ServiceRuntime.h"
#include "LogMessage.h"
#include "RunningEvents.h"

const char serviceName[] = "Fenwash";

namespace {

// How long a stop waits for the cleanups at work, and how often it tells the
// service control manager that it is still stopping.
const DWORD runningEventsLimitMs = 30000;
const DWORD stopProgressMs = 250;
const DWORD stopProgressHintMs = 1000;

HANDLE CreateServiceEvent()
{
    return CreateEventA(NULL, TRUE, FALSE, NULL);
}

} // namespace

bool WaitForRunningEvents(DWORD limitMs)
{
    RefuseNewEvents();
    // Check point 1 is the stop control's own report.
    DWORD checkPoint = 2;
    DWORD start = GetTickCount();
    while (RunningEventCount() > 0) {
        if (GetTickCount() - start >= limitMs)
            return false;
        if (serviceStatusHandle != NULL)
            ReportServiceStatus(SERVICE_STOP_PENDING, NO_ERROR, checkPoint++, stopProgressHintMs);
        Sleep(stopProgressMs);
    }
    return true;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    serviceStatusHandle = RegisterServiceCtrlHandlerA(serviceName, ServiceControlHandler);
    if (serviceStatusHandle == NULL) {
        ServiceCleanup(GetLastError());
        return;
    }
    // Each step that fails ends start-up with the error of the call that failed
    // (ReportServiceStatus keeps that error for us).
    if (!ReportServiceStatus(SERVICE_START_PENDING, NO_ERROR, 1, 5000)) {
        ServiceCleanup(GetLastError());
        return;
    }
    terminateEvent = CreateServiceEvent();
    if (terminateEvent == NULL) {
        ServiceCleanup(GetLastError());
        return;
    }
    exitEvent = CreateServiceEvent();
    if (exitEvent == NULL) {
        ServiceCleanup(GetLastError());
        return;
    }
    if (!ReportServiceStatus(SERVICE_START_PENDING, NO_ERROR, 2, 1000) ||
        !ReportServiceStatus(SERVICE_START_PENDING, NO_ERROR, 3, 5000) ||
        !StartServiceThread() ||
        !ReportServiceStatus(SERVICE_RUNNING, NO_ERROR, 0, 0)) {
        ServiceCleanup(GetLastError());
        return;
    }

    LogMessage(serviceName, "Waiting for terminateEvent: %d", (int)(INT_PTR)terminateEvent);
    WaitForSingleObject(terminateEvent, INFINITE);
    LogMessage(serviceName, "Waiting for exitEvent: %d", (int)(INT_PTR)exitEvent);
    WaitForSingleObject(exitEvent, INFINITE);
    LogMessage(serviceName, "exitEvent received");
    ServiceCleanup(NO_ERROR);
}

void ServiceCleanup(DWORD win32ExitCode)
{
    // Every cleanup at work ends before the service is reported stopped. One
    // that outlasts the limit is cut off when the process ends, and the exit
    // code says so.
    if (!WaitForRunningEvents(runningEventsLimitMs)) {
        LogMessage(serviceName, "A cleanup is still running after %lu ms: it is cut off",
                   runningEventsLimitMs);
        if (win32ExitCode == NO_ERROR)
            win32ExitCode = ERROR_TIMEOUT;
    }
    CloseServiceEvent(&terminateEvent);
    if (serviceStatusHandle != NULL)
        ReportServiceStatus(SERVICE_STOPPED, win32ExitCode, 0, 0);
    // The worker is neither waited for nor ended: it ends with the process,
    // idle in its message loop.
    if (serviceThreadHandle != NULL) {
        CloseHandle(serviceThreadHandle);
        serviceThreadHandle = NULL;
    }
    CloseServiceEvent(&exitEvent);
}
