// The service runtime as Fenwash.exe runs it, with one addition for the test:
// SERVICE_CONTROL_SHUTDOWN cannot be sent through ControlService, so a thread
// of this process hands it to the real control handler once the test signals
// the named event "FenwashShutdownProbe".
#include <windows.h>

#include "service/LogMessage.h"
#include "service/ServiceRuntime.h"

namespace {

DWORD WINAPI DeliverShutdownControl(LPVOID)
{
    HANDLE go = NULL;
    while ((go = OpenEventA(SYNCHRONIZE, FALSE, "FenwashShutdownProbe")) == NULL)
        Sleep(50);
    WaitForSingleObject(go, INFINITE);
    CloseHandle(go);
    ServiceControlHandler(SERVICE_CONTROL_SHUTDOWN);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    logDisabled = 0;
    HANDLE thread = CreateThread(NULL, 0, DeliverShutdownControl, NULL, 0, NULL);
    if (thread == NULL)
        return 1;
    CloseHandle(thread);
    static char name[] = "Fenwash";
    SERVICE_TABLE_ENTRYA table[] = { { name, ServiceMain }, { NULL, NULL } };
    StartServiceCtrlDispatcherA(table);
    return 0;
}
