#include "WriteFilterDevice.h"

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

WriteFilterDevice::FlushResult WriteFilterDevice::Flush(DWORD access)
{
    ScopedHandle device(OpenDevice(access));
    if (!device.IsValid())
        return FLUSH_NOT_OPENED;
    // A status that could not be read says nothing about the cache, and a
    // flush of a cache in an unknown state is not worth the risk.
    if (!QueryStatus(device.Get()))
        return FLUSH_STATUS_UNREAD;
    if (CacheFull())
        return FLUSH_CACHE_FULL;
    return FlushCache(device.Get()) ? FLUSH_DONE : FLUSH_FAILED;
}

int WriteFilterDevice::ExitStatusOf(FlushResult result)
{
    if (result == FLUSH_DONE)
        return 0;
    return result == FLUSH_NOT_OPENED ? 1 : -1;
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
