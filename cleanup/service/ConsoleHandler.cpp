#include "ServiceRuntime.h"
#include "LogMessage.h"
#include "RunningEvents.h"

namespace {

const char source[] = "ConsoleHandlerRoutine";

// Console handlers may also be called with these window-message numbers.
const DWORD QUERY_END_SESSION = 17;
const DWORD END_SESSION = 22;

} // namespace

BOOL WINAPI ConsoleHandlerRoutine(DWORD controlType)
{
    // Once a stop has begun the service's lists are about to go with the
    // process: no cleanup may start on them.
    if (!BeginRunningEvent()) {
        LogMessage(source, "Console event %lu ignored: the service is stopping", controlType);
        return TRUE;
    }
    switch (controlType) {
    case CTRL_CLOSE_EVENT:
        LogMessage(source, "CTRL_CLOSE_EVENT message received");
        break;
    case CTRL_LOGOFF_EVENT:
        LogMessage(source, "CTRL_LOGOFF_EVENT message received");
        ProcessLogoffEvent();
        break;
    case CTRL_SHUTDOWN_EVENT:
        LogMessage(source, "CTRL_SHUTDOWN_EVENT message received");
        ProcessShutdownEvent();
        break;
    case QUERY_END_SESSION:
        LogMessage(source, "WM_QUERYENDSESSION message received");
        break;
    case END_SESSION:
        LogMessage(source, "WM_ENDSESSION message received");
        break;
    default:
        break;
    }
    EndRunningEvent();
    SignalExitEvent();
    // Handled: the system's default handler would end the service's process.
    return TRUE;
}
