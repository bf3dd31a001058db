// The service's three moments of work, handed to the cleanup engine.
#include "ServiceRuntime.h"
#include "engine/EventProcessing.h"

void ProcessServiceStartup()
{
    ProcessEvents(SVC_STARTUP);
}

// A console event that comes while the start-up cleanup is at work runs after it.
void ProcessLogoffEvent()
{
    WaitForStartupCleanup();
    ProcessEvents(USER_LOGOFF);
}

void ProcessShutdownEvent()
{
    WaitForStartupCleanup();
    ProcessEvents(USER_SHUTDOWN);
}
