#include "CommandLine.h"
#include "FileProtection.h"
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

// Stops the service unless it is stopped, and gives it half a second; the
// messages name what the stop is for ("remove", "install").
void StopIfRunning(SC_HANDLE service, LPCSTR purpose)
{
    SERVICE_STATUS status;
    BOOL queried = QueryServiceStatus(service, &status);
    if (!queried)
        LogMessage(serviceName, "Error querying Service to %s service.", purpose);

    if (!queried || status.dwCurrentState != SERVICE_STOPPED) {
        if (!ControlService(service, SERVICE_CONTROL_STOP, &status))
            LogMessage(serviceName, "Error stopping Service to %s service.", purpose);
        Sleep(500);
    }
}

// The existing service, stopped and given the configuration a new one would
// have. Deleting it and creating it again is no way to do this: while any
// other program (a services console, a monitoring tool) holds a handle to the
// service, a deletion only marks it, the creation fails, and the old service
// vanishes when that handle closes, leaving none.
bool UpdateExistingService(SC_HANDLE manager, LPCSTR name, LPCSTR displayName, LPCSTR path)
{
    CServiceHandle service(OpenServiceA(manager, name, SERVICE_ALL_ACCESS));
    if (!service.IsOpen()) {
        LogMessage(serviceName, "Error opening Service to install service.");
        return false;
    }
    StopIfRunning(service.Get(), "install");
    // No load-order group, no dependencies, the LocalSystem account: what
    // CreateService gives a service when it is given none.
    if (!ChangeServiceConfigA(service.Get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                              SERVICE_ERROR_NORMAL, path, "", NULL, "", "LocalSystem", "",
                              displayName)) {
        LogMessage(serviceName, "Error updating service: %lu", GetLastError());
        return false;
    }
    return true;
}

} // namespace

BYTE InstallService(LPCSTR name, LPCSTR displayName)
{
    ProtectServiceFiles();
    char path[MAX_PATH + 2];
    if (!QuotedProgramPath(path, sizeof path)) {
        LogMessage(serviceName, "Error creating service.");
        return 1;
    }

    CServiceHandle manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_CREATE_SERVICE));
    if (!manager.IsOpen())
        LogMessage(serviceName, "Error opening Service Manager to install service.");

    CServiceHandle service(CreateOwnProcessService(manager.Get(), name, displayName, path));
    if (service.IsOpen()) {
        LogMessage(serviceName, "%s service created.", displayName);
        return 0;
    }
    if (GetLastError() == ERROR_SERVICE_EXISTS &&
        UpdateExistingService(manager.Get(), name, displayName, path)) {
        LogMessage(serviceName, "%s service updated.", displayName);
        return 0;
    }
    LogMessage(serviceName, "Error creating service.");
    return 1;
}

BYTE RemoveService(LPCSTR name)
{
    CServiceHandle manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_CREATE_SERVICE));
    if (!manager.IsOpen())
        LogMessage(serviceName, "Error opening Service Manager to remove service.");

    CServiceHandle service(OpenServiceA(manager.Get(), name, SERVICE_ALL_ACCESS));
    if (!service.IsOpen())
        LogMessage(serviceName, "Error opening Service to remove service.");

    StopIfRunning(service.Get(), "remove");

    BYTE removed = 0;
    if (DeleteService(service.Get())) {
        LogMessage(serviceName, "Service removed.");
        removed = 1;
    } else {
        LogMessage(serviceName, "Error removing service.");
    }
    return removed;
}
