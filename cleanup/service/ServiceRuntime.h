// The service's own state and the routines that run it once the service
// control manager has started the process.
#pragma once

#include <windows.h>

// The name under which the service registers and is installed.
extern const char serviceName[];

extern SERVICE_STATUS_HANDLE serviceStatusHandle;
extern HANDLE terminateEvent;
extern HANDLE exitEvent;
extern HANDLE serviceThreadHandle;
extern volatile LONG threadRunning;
extern volatile LONG threadPaused;

void WINAPI ServiceMain(DWORD argc, LPSTR* argv);
void WINAPI ServiceControlHandler(DWORD control);

BOOL ReportServiceStatus(DWORD currentState, DWORD win32ExitCode, DWORD checkPoint, DWORD waitHint);
void SignalServiceExit();
// Signals exitEvent unless it has been closed; what every console event ends with.
void SignalExitEvent();
// Closes an event of the service so that no later signal can reach it (or a
// handle that reuses its value).
void CloseServiceEvent(HANDLE* event);
// Refuses new cleanups and waits until none runs, telling the service control
// manager that the service is stopping with a rising check point; false when
// `limitMs` passed first.
bool WaitForRunningEvents(DWORD limitMs);
void ServiceCleanup(DWORD win32ExitCode);

BOOL StartServiceThread();
void SuspendServiceThread();
void ResumeServiceThread();
DWORD WINAPI ServiceThread(LPVOID parameter);
// Returns once the start-up cleanup has ended.
void WaitForStartupCleanup();

BOOL WINAPI ConsoleHandlerRoutine(DWORD controlType);

void ProcessServiceStartup();
void ProcessLogoffEvent();
void ProcessShutdownEvent();
