#include "WriteFilterDevice.h"

#include <stdlib.h>

#include "ScopedHandle.h"

HANDLE WriteFilterDevice::OpenDevice(DWORD access)
{
    return CreateFileW(WRITE_FILTER_DEVICE_PATH, access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_EXISTING, 0, NULL);
}

BOOL WriteFilterDevice::Call(HANDLE device, DWORD code)
{
    lastResult = DeviceIoControl(device, code, NULL, 0, &status, sizeof(status), &bytesReturned,
                                 NULL);
    return lastResult;
}

BOOL WriteFilterDevice::QueryStatus(HANDLE device)
{
    return Call(device, IOCTL_WRITE_FILTER_QUERY);
}

BOOL WriteFilterDevice::FlushCache(HANDLE device)
{
    return Call(device, IOCTL_WRITE_FILTER_FLUSH);
}

// The exit status FlushOrExit ends with, or 0 after a flush. The handle is
// closed before the process ends, since exit leaves locals alone.
int WriteFilterDevice::FlushOnce(DWORD access)
{
    ScopedHandle device(OpenDevice(access));
    if (!device.IsValid())
        return 1;
    // A status that could not be read says nothing about the cache, and a
    // flush of a cache in an unknown state is not worth the risk.
    if (!QueryStatus(device.Get()) || CacheFull())
        return -1;
    return FlushCache(device.Get()) ? 0 : -1;
}

void WriteFilterDevice::FlushOrExit(DWORD access)
{
    int exitStatus = FlushOnce(access);
    if (exitStatus != 0)
        exit(exitStatus);
}

BOOL WriteFilterDevice::RestartSystem()
{
    HANDLE rawToken;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken))
        return FALSE;
    ScopedHandle token(rawToken);

    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueW(NULL, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Succeeds also when the privilege is not granted; only the error tells.
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, NULL, NULL);
    if (GetLastError() != ERROR_SUCCESS)
        return FALSE;

    if (!InitiateSystemShutdownW(NULL, NULL, 0, TRUE, TRUE))
        return FALSE;

    privileges.Privileges[0].Attributes = 0;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, NULL, NULL);
    return GetLastError() == ERROR_SUCCESS;
}
