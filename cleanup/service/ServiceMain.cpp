#include "ServiceRuntime.h"
#include "LogMessage.h"

const char serviceName[] = "Fenwash";

namespace {

HANDLE CreateServiceEvent()
{
    return CreateEventA(NULL, TRUE, FALSE, NULL);
}

} // namespace

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
    // A console event still at work finishes before the service is reported
    // stopped (unless a stop has already signalled exitEvent).
    if (consoleEventActive && exitEvent != NULL)
        WaitForSingleObject(exitEvent, INFINITE);
    CloseServiceEvent(&terminateEvent);
    if (serviceStatusHandle != NULL)
        ReportServiceStatus(SERVICE_STOPPED, win32ExitCode, 0, 0);
    // The worker is neither waited for nor ended: it ends with the process.
    if (serviceThreadHandle != NULL) {
        CloseHandle(serviceThreadHandle);
        serviceThreadHandle = NULL;
    }
    CloseServiceEvent(&exitEvent);
}
