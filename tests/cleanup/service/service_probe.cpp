// The soak script's hands on the terminal's service control manager:
//   service_probe create NAME COMMAND-LINE   an own-process demand-start service
//   service_probe start NAME                 starts it; prints its process id once running
//   service_probe state NAME                 prints its state number
//   service_probe handles PID                prints the process's open handle count
//   service_probe stop NAME                  stops it; prints its exit code once stopped
//   service_probe delete NAME
//   service_probe path NAME COMMAND-LINE    changes the service's command line
// Exit status 0 on success, 1 on failure (with the reason on stderr).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

SC_HANDLE OpenNamed(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL)
        return NULL;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
    CloseServiceHandle(manager);
    return service;
}

bool Query(SC_HANDLE service, SERVICE_STATUS_PROCESS* status)
{
    DWORD needed;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE*)status, sizeof *status, &needed) != 0;
}

bool WaitFor(SC_HANDLE service, DWORD state, SERVICE_STATUS_PROCESS* status)
{
    for (int i = 0; i < 600; ++i) {
        if (Query(service, status) && status->dwCurrentState == state)
            return true;
        Sleep(50);
    }
    return false;
}

// The handles that process `processId` holds, from the system's handle table
// (the terminal answers GetProcessHandleCount only for the caller itself).
bool CountHandles(DWORD processId, DWORD* count)
{
    struct HandleEntry
    {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    struct HandleTable
    {
        ULONG count;
        HandleEntry entries[1];
    };
    typedef LONG(WINAPI * QuerySystem)(ULONG, PVOID, ULONG, PULONG);
    QuerySystem query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == NULL)
        return false;
    const ULONG SystemHandleInformation = 16;
    const LONG STATUS_INFO_LENGTH_MISMATCH = (LONG)0xC0000004;
    for (ULONG size = 1 << 16; size <= (1u << 26); size *= 2) {
        HandleTable* table = static_cast<HandleTable*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (table == NULL)
            return false;
        ULONG needed = 0;
        LONG status = query(SystemHandleInformation, table, size, &needed);
        if (status == 0) {
            *count = 0;
            for (ULONG i = 0; i < table->count; ++i)
                *count += table->entries[i].ownerPid == processId;
        }
        HeapFree(GetProcessHeap(), 0, table);
        if (status == 0)
            return true;
        if (status != STATUS_INFO_LENGTH_MISMATCH)
            return false;
    }
    return false;
}

int Fail(const char* what)
{
    fprintf(stderr, "service_probe: %s (error %lu)\n", what, GetLastError());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Fail("usage: service_probe VERB ARG...");
    const char* verb = argv[1];
    if (strcmp(verb, "handles") == 0) {
        DWORD count = 0;
        if (!CountHandles(strtoul(argv[2], NULL, 0), &count) || count == 0)
            return Fail("cannot count the handles");
        printf("%lu\n", count);
        return 0;
    }
    if (strcmp(verb, "create") == 0) {
        if (argc != 4)
            return Fail("usage: service_probe create NAME COMMAND-LINE");
        SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
        SC_HANDLE service = CreateServiceA(manager, argv[2], argv[2], SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                           SERVICE_ERROR_NORMAL, argv[3], NULL, NULL, NULL, NULL, NULL);
        if (service == NULL)
            return Fail("cannot create the service");
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        return 0;
    }

    SC_HANDLE service = OpenNamed(argv[2]);
    if (service == NULL)
        return Fail("cannot open the service");
    SERVICE_STATUS_PROCESS status;
    int result = 0;
    if (strcmp(verb, "start") == 0) {
        if (!StartServiceA(service, 0, NULL) || !WaitFor(service, SERVICE_RUNNING, &status))
            result = Fail("the service did not start");
        else
            printf("%lu\n", status.dwProcessId);
    } else if (strcmp(verb, "state") == 0) {
        if (!Query(service, &status))
            result = Fail("cannot query the service");
        else
            printf("%lu\n", status.dwCurrentState);
    } else if (strcmp(verb, "stop") == 0) {
        SERVICE_STATUS stopping;
        if (!ControlService(service, SERVICE_CONTROL_STOP, &stopping) ||
            !WaitFor(service, SERVICE_STOPPED, &status))
            result = Fail("the service did not stop");
        else
            printf("%lu\n", status.dwWin32ExitCode);
    } else if (strcmp(verb, "path") == 0 && argc == 4) {
        if (!ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                  argv[3], NULL, NULL, NULL, NULL, NULL, NULL))
            result = Fail("cannot change the command line");
    } else if (strcmp(verb, "delete") == 0) {
        if (!DeleteService(service))
            result = Fail("cannot delete the service");
    } else {
        result = Fail("unknown verb");
    }
    CloseServiceHandle(service);
    return result;
}
