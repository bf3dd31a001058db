// The service's three moments of work, handed to the cleanup engine.
#include "ServiceRuntime.h"
#include "engine/EventProcessing.h"

void ProcessServiceStartup()
{
    ProcessEvents(SVC_STARTUP);
}

void ProcessLogoffEvent()
{
    ProcessEvents(USER_LOGOFF);
}

void ProcessShutdownEvent()
{
    ProcessEvents(USER_SHUTDOWN);
}
