#include "ServiceRuntime.h"

SERVICE_STATUS_HANDLE serviceStatusHandle = NULL;
HANDLE terminateEvent = NULL;
HANDLE exitEvent = NULL;
volatile LONG threadRunning = 0;

namespace {

// The events are signalled from the dispatcher thread, console-event threads
// and ServiceMain, and closed by ServiceMain's cleanup. One lock around every
// signal and close means a signal never reaches an event that is already
// closed, nor another object that has since been given the same handle value.
class CEventLock
{
public:
    CEventLock() { InitializeCriticalSection(&m_section); }
    ~CEventLock() { DeleteCriticalSection(&m_section); }
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CEventLock(const CEventLock&);
    CEventLock& operator=(const CEventLock&);

    CRITICAL_SECTION m_section;
};

CEventLock eventLock;

} // namespace

BOOL ReportServiceStatus(DWORD currentState, DWORD win32ExitCode, DWORD checkPoint, DWORD waitHint)
{
    SERVICE_STATUS status;
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = currentState;
    status.dwControlsAccepted = currentState == SERVICE_START_PENDING
        ? 0 : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN;
    status.dwWin32ExitCode = win32ExitCode;
    status.dwServiceSpecificExitCode = 0;
    status.dwCheckPoint = checkPoint;
    status.dwWaitHint = waitHint;

    if (SetServiceStatus(serviceStatusHandle, &status))
        return TRUE;
    // A service that can no longer tell the manager its state winds itself down.
    DWORD error = GetLastError();
    SignalServiceExit();
    SetLastError(error);
    return FALSE;
}

void SignalServiceExit()
{
    InterlockedExchange(&threadRunning, 0);
    eventLock.Enter();
    if (terminateEvent != NULL)
        SetEvent(terminateEvent);
    if (exitEvent != NULL)
        SetEvent(exitEvent);
    eventLock.Leave();
}

void SignalExitEvent()
{
    eventLock.Enter();
    if (exitEvent != NULL)
        SetEvent(exitEvent);
    eventLock.Leave();
}

void CloseServiceEvent(HANDLE* event)
{
    eventLock.Enter();
    HANDLE closing = *event;
    *event = NULL;
    eventLock.Leave();
    if (closing != NULL)
        CloseHandle(closing);
}
