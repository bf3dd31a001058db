#include "CommandLine.h"
#include "LogMessage.h"
#include "ServiceRuntime.h"

namespace {

const char switchChars[] = "-/";
const char displayName[] = "Quillmere Cleanup";

int RunServiceDispatcher()
{
    static char name[] = "Fenwash";
    SERVICE_TABLE_ENTRYA serviceTable[] = {
        { name, ServiceMain },
        { NULL, NULL }
    };
    if (!StartServiceCtrlDispatcherA(serviceTable)) {
        DWORD error = GetLastError();
        LogMessage(serviceName, "Error in StartServiceCtrlDispatcher. Errornum: %d", (int)error);
        return 0;
    }
    // The service has stopped. Ended here, the process takes its other threads
    // with it before anything is torn down; returning would run the
    // destructors of the cleanup lists while a cleanup cut off at the stop's
    // time limit may still be walking them.
    ExitProcess(0);
}

} // namespace

int RunCommandLine(LPSTR commandLine)
{
    // Left to right: an administrative switch ends the process, so -Debug
    // counts only before it. A switch character inside a switch's text starts
    // another switch. -Preview acts only when no administrative switch does.
    bool preview = false;
    for (LPSTR text = NextSwitch(commandLine, switchChars); text != NULL;
         text = NextSwitch(text, switchChars)) {
        if (SwitchIs(text, "UnregServer"))
            return RemoveService(serviceName) == 1 ? 1 : 0;
        if (SwitchIs(text, "RegServer") || SwitchIs(text, "Service"))
            return InstallService(serviceName, displayName) == 1 ? 1 : 0;
        if (SwitchIs(text, "?") || SwitchIs(text, "help"))
            return ShowCommandLineHelp();
        if (SwitchIs(text, "Debug"))
            logDisabled = 0;
        if (SwitchIs(text, "Preview"))
            preview = true;
    }
    return preview ? RunPreview() : RunServiceDispatcher();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    return RunCommandLine(commandLine);
}
