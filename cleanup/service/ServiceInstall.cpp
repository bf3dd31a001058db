#include "CommandLine.h"
#include "LogMessage.h"
#include "ServiceHandle.h"
#include "ServiceRuntime.h"

#include <strsafe.h>

namespace {

// The program's path in double quotes. Unquoted, a path with a blank (as under
// "C:\Program Files") lets the service control manager start whatever program
// sits at the first blank, as LocalSystem.
bool QuotedProgramPath(char* quoted, size_t size)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return SUCCEEDED(StringCchPrintfA(quoted, size, "\"%s\"", path));
}

SC_HANDLE CreateOwnProcessService(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, LPCSTR path)
{
    return CreateServiceA(manager, name, displayName, SERVICE_ALL_ACCESS,
                          SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                          path, NULL, NULL, NULL, NULL, NULL);
}

} // namespace

BYTE InstallService(LPCSTR name, LPCSTR displayName)
{
    char path[MAX_PATH + 2];
    if (!QuotedProgramPath(path, sizeof path)) {
        LogMessage(serviceName, "Error creating service.");
        return 1;
    }

    CServiceHandle manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_CREATE_SERVICE));
    if (!manager.IsOpen())
        LogMessage(serviceName, "Error opening Service Manager to install service.");

    CServiceHandle service(CreateOwnProcessService(manager.Get(), name, displayName, path));
    if (!service.IsOpen() && GetLastError() == ERROR_SERVICE_EXISTS) {
        if (RemoveService(name) == 1)
            service.Attach(CreateOwnProcessService(manager.Get(), name, displayName, path));
    }

    if (!service.IsOpen()) {
        LogMessage(serviceName, "Error creating service.");
        return 1;
    }
    LogMessage(serviceName, "%s service created.", displayName);
    return 0;
}

BYTE RemoveService(LPCSTR name)
{
    CServiceHandle manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_CREATE_SERVICE));
    if (!manager.IsOpen())
        LogMessage(serviceName, "Error opening Service Manager to remove service.");

    CServiceHandle service(OpenServiceA(manager.Get(), name, SERVICE_ALL_ACCESS));
    if (!service.IsOpen())
        LogMessage(serviceName, "Error opening Service to remove service.");

    SERVICE_STATUS status;
    BOOL queried = QueryServiceStatus(service.Get(), &status);
    if (!queried)
        LogMessage(serviceName, "Error querying Service to remove service.");

    if (!queried || status.dwCurrentState != SERVICE_STOPPED) {
        if (!ControlService(service.Get(), SERVICE_CONTROL_STOP, &status))
            LogMessage(serviceName, "Error stopping Service to remove service.");
        Sleep(500);
    }

    BYTE removed = 0;
    if (DeleteService(service.Get())) {
        LogMessage(serviceName, "Service removed.");
        removed = 1;
    } else {
        LogMessage(serviceName, "Error removing service.");
    }
    return removed;
}
