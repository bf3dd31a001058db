#include "ServiceRuntime.h"
#include "FileProtection.h"
#include "LogMessage.h"
#include "RunningEvents.h"
#include "config/Configuration.h"

HANDLE serviceThreadHandle = NULL;
volatile LONG threadPaused = 0;

namespace {

// Asks the worker, idle in its message loop, to stop until continued.
const UINT WM_PAUSE_SERVICE_THREAD = WM_APP + 1;

DWORD serviceThreadId = 0;
// Signalled while the service runs, reset while it is paused: the worker
// waits on it at its one safe point, idle in its message loop.
HANDLE resumeEvent = NULL;
// Signalled once the start-up cleanup has ended: console events wait for it.
HANDLE startupDoneEvent = NULL;

void WaitWhilePaused()
{
    WaitForSingleObject(resumeEvent, INFINITE);
}

} // namespace

void WaitForStartupCleanup()
{
    WaitForSingleObject(startupDoneEvent, INFINITE);
}

BOOL StartServiceThread()
{
    // Created once per process: threads may be waiting on them until the
    // process ends, so they are never closed.
    if (resumeEvent == NULL) {
        resumeEvent = CreateEventA(NULL, TRUE, TRUE, NULL);
        if (resumeEvent == NULL)
            return FALSE;
    }
    if (startupDoneEvent == NULL) {
        startupDoneEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
        if (startupDoneEvent == NULL)
            return FALSE;
    }
    // The worker's start-up counts from before it exists, so that no stop can
    // find nothing running while it is still to begin. Once a stop has begun
    // there is no start-up left to do.
    if (!BeginRunningEvent()) {
        SetLastError(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
        return FALSE;
    }
    serviceThreadHandle = CreateThread(NULL, 0, ServiceThread, NULL, 0, &serviceThreadId);
    if (serviceThreadHandle == NULL) {
        DWORD error = GetLastError();
        EndRunningEvent();
        SetLastError(error);
        return FALSE;
    }
    InterlockedExchange(&threadRunning, 1);
    return TRUE;
}

// The worker is never stopped where it stands: stopped inside the start-up
// cleanup it could hold the engine's lock or the heap's, and every logoff and
// shutdown cleanup would then wait for a continue. So a pause only asks the
// worker to stop; it does so once it is idle in its message loop, which is at
// once after start-up.
void SuspendServiceThread()
{
    InterlockedExchange(&threadPaused, 1);
    ResetEvent(resumeEvent);
    // Without a message queue yet the worker is still starting up; it looks at
    // the event before it first waits for a message.
    PostThreadMessageA(serviceThreadId, WM_PAUSE_SERVICE_THREAD, 0, 0);
}

void ResumeServiceThread()
{
    InterlockedExchange(&threadPaused, 0);
    SetEvent(resumeEvent);
}

DWORD WINAPI ServiceThread(LPVOID)
{
    // Installed before anything else: without it a logoff or shutdown would
    // meet the system's default handler, which ends the process, during a
    // long configuration load or part-way through the start-up cleanup. An
    // event that comes now waits for the start-up cleanup to end and then runs.
    if (!SetConsoleCtrlHandler(ConsoleHandlerRoutine, TRUE))
        LogMessage("ServiceThread", "SetConsoleCtrlHandler failed: %lu", GetLastError());
    LoadConfiguration();
    // After the handler: naming an account can wait on a domain controller.
    WarnIfServiceFilesOpen();
    ProcessServiceStartup();
    SetEvent(startupDoneEvent);
    EndRunningEvent();

    // Gives the thread its message queue, so that a pause from now on is posted.
    MSG message;
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);
    WaitWhilePaused();
    while (GetMessageA(&message, NULL, 0, 0)) {
        if (message.hwnd == NULL && message.message == WM_PAUSE_SERVICE_THREAD)
            WaitWhilePaused();
        else
            DispatchMessageA(&message);
    }
    return 0;
}
