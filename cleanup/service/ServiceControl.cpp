#include "ServiceRuntime.h"
#include "LogMessage.h"

namespace {

DWORD CurrentState()
{
    return threadPaused ? SERVICE_PAUSED : SERVICE_RUNNING;
}

void ReportCurrentState()
{
    ReportServiceStatus(CurrentState(), NO_ERROR, 0, 0);
}

} // namespace

void WINAPI ServiceControlHandler(DWORD control)
{
    switch (control) {
    case SERVICE_CONTROL_STOP:
        LogMessage(serviceName, "SERVICE_CONTROL_STOP rec'd from SCM");
        ReportServiceStatus(SERVICE_STOP_PENDING, NO_ERROR, 1, 1000);
        SignalServiceExit();
        break;
    case SERVICE_CONTROL_PAUSE:
        LogMessage(serviceName, "SERVICE_CONTROL_PAUSE rec'd from SCM");
        if (threadRunning && !threadPaused) {
            ReportServiceStatus(SERVICE_PAUSE_PENDING, NO_ERROR, 1, 1000);
            SuspendServiceThread();
            ReportServiceStatus(SERVICE_PAUSED, NO_ERROR, 0, 0);
        } else {
            ReportCurrentState();
        }
        break;
    case SERVICE_CONTROL_CONTINUE:
        LogMessage(serviceName, "SERVICE_CONTROL_CONTINUE rec'd from SCM");
        if (threadRunning && threadPaused) {
            ReportServiceStatus(SERVICE_CONTINUE_PENDING, NO_ERROR, 1, 1000);
            ResumeServiceThread();
            ReportServiceStatus(SERVICE_RUNNING, NO_ERROR, 0, 0);
        } else {
            ReportCurrentState();
        }
        break;
    case SERVICE_CONTROL_INTERROGATE:
        LogMessage(serviceName, "SERVICE_CONTROL_INTERROGATE rec'd from SCM");
        ReportCurrentState();
        break;
    case SERVICE_CONTROL_SHUTDOWN:
        // The shutdown cleanup arrives as a console event; the process ends
        // with the system.
        LogMessage(serviceName, "SERVICE_CONTROL_SHUTDOWN rec'd from SCM");
        ReportServiceStatus(SERVICE_STOP_PENDING, NO_ERROR, 1, 3500);
        break;
    default:
        LogMessage(serviceName, "Unknown message rec'd from SCM: %d", (int)control);
        ReportCurrentState();
        break;
    }
}
