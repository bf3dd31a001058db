#include "PanelRegistry.h"

#include "ScopedRegKey.h"

const wchar_t kPanelKey[] = L"SOFTWARE\\ZRT\\pendrax";
const wchar_t kDriverServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\pendrax";

bool ReadLowWord(LPCWSTR keyPath, LPCWSTR valueName, WORD* value)
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ) != ERROR_SUCCESS)
        return false;
    // Cleared first: a shorter value fills only its own bytes.
    DWORD data = 0;
    DWORD size = sizeof(data);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), valueName, NULL, &type, (BYTE*)&data, &size) != ERROR_SUCCESS)
        return false;
    // The characters of a short string would read as a number ("5" as 53,
    // an empty string as 0), so only number-like types count.
    if (type != REG_DWORD && type != REG_BINARY)
        return false;
    *value = LOWORD(data);
    return true;
}

bool DriverStartDisabled()
{
    WORD start = 0;
    return ReadLowWord(kDriverServiceKey, L"Start", &start) && start == SERVICE_DISABLED;
}

static bool WriteDword(HKEY key, LPCWSTR valueName, DWORD data)
{
    return RegSetValueExW(key, valueName, 0, REG_DWORD, (const BYTE*)&data, sizeof(data))
           == ERROR_SUCCESS;
}

bool WriteShowNotice(bool show)
{
    ScopedRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPanelKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        NULL, key.Receive(), NULL) != ERROR_SUCCESS)
        return false;
    return WriteDword(key.Get(), L"init", show ? 1 : 0);
}

bool WriteDriverBootStart()
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kDriverServiceKey, KEY_SET_VALUE) != ERROR_SUCCESS)
        return false;
    return WriteDword(key.Get(), L"Start", SERVICE_BOOT_START);
}
