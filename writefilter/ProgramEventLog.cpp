#include "ProgramEventLog.h"

#include <strsafe.h>
#include <wchar.h>

#include "ScopedRegKey.h"

namespace {

const DWORD kTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE
                              | EVENTLOG_INFORMATION_TYPE;

bool SourceKeyPath(LPCWSTR source, wchar_t* path, size_t size)
{
    return SUCCEEDED(StringCchPrintfW(
        path, size, L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\%s", source));
}

// The source already names this program and the types: nothing to write.
bool AlreadyRegistered(LPCWSTR keyPath, LPCWSTR program)
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return false;
    wchar_t file[MAX_PATH + 1] = L"";
    // One character short of the buffer, so that the text read is terminated
    // whatever the value holds.
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), L"EventMessageFile", NULL, &type, (BYTE*)file, &size)
            != ERROR_SUCCESS
        || type != REG_EXPAND_SZ || _wcsicmp(file, program) != 0)
        return false;
    DWORD types = 0;
    size = sizeof(types);
    return RegQueryValueExW(key.Get(), L"TypesSupported", NULL, &type, (BYTE*)&types, &size)
               == ERROR_SUCCESS
           && type == REG_DWORD && types == kTypesSupported;
}

} // namespace

bool RegisterProgramEventSource(LPCWSTR source)
{
    wchar_t program[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    wchar_t keyPath[MAX_PATH];
    if (!SourceKeyPath(source, keyPath, MAX_PATH))
        return false;
    if (AlreadyRegistered(keyPath, program))
        return true;

    ScopedRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, NULL, key.Receive(), NULL) != ERROR_SUCCESS)
        return false;
    DWORD bytes = (length + 1) * sizeof(wchar_t);
    return RegSetValueExW(key.Get(), L"EventMessageFile", 0, REG_EXPAND_SZ, (const BYTE*)program,
                          bytes) == ERROR_SUCCESS
           && RegSetValueExW(key.Get(), L"TypesSupported", 0, REG_DWORD,
                             (const BYTE*)&kTypesSupported, sizeof kTypesSupported)
                  == ERROR_SUCCESS;
}

bool ReportProgramEvent(LPCWSTR source, WORD type, DWORD id, LPCWSTR text)
{
    HANDLE eventSource = RegisterEventSourceW(NULL, source);
    if (eventSource == NULL)
        return false;
    LPCWSTR strings[1] = { text };
    BOOL reported = ReportEventW(eventSource, type, 0, id, NULL, 1, 0, strings, NULL);
    DeregisterEventSource(eventSource);
    return reported != FALSE;
}
