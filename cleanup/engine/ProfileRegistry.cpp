#include "ProfileCleanup.h"

#include <strsafe.h>

#include "config/AnsiText.h"

const char profileListKey[] = "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST";

bool ReadRegistryText(HKEY hKey, const char* pszValue, char (&szText)[MAX_PATH])
{
    DWORD nSize = MAX_PATH;
    if (RegQueryValueExA(hKey, pszValue, NULL, NULL, (BYTE*)szText, &nSize) != ERROR_SUCCESS)
        return false;
    // The registry does not promise a terminator; a value of 260 bytes without
    // one has no room for it and is refused rather than cut.
    if (nSize == 0 || szText[nSize - 1] != '\0') {
        if (nSize >= MAX_PATH)
            return false;
        szText[nSize] = '\0';
    }
    return true;
}

bool ProfileFolderName(const char* pszImagePath, char (&szName)[MAX_PATH])
{
    szName[0] = '\0';
    const char* pLastBackslash = FindLastChar(pszImagePath, '\\');
    // Without a backslash the value is no full path, and a relative one would
    // be resolved against the service's current directory: no name.
    if (pLastBackslash == NULL)
        return false;
    const char* pszLastPart = pLastBackslash + 1;
    bool bNamesFolder = false;
    for (const char* p = pszLastPart; *p != '\0'; p = CharNextA(p)) {
        if (*p != '.' && *p != ' ')
            bNamesFolder = true;
    }
    return bNamesFolder && SUCCEEDED(StringCchCopyA(szName, MAX_PATH, pszLastPart));
}

bool ProfileNameFromPath(const char* pszImagePath, char (&szName)[MAX_PATH])
{
    if (!ProfileFolderName(pszImagePath, szName))
        return false;
    char* pLastStop = (char*)FindLastChar(szName, '.');
    if (pLastStop != NULL)
        *pLastStop = '\0';
    return true;
}

DWORD CountProfileKeys()
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, profileListKey, 0, KEY_ENUMERATE_SUB_KEYS, &hKey) != ERROR_SUCCESS)
        return 0;
    DWORD nCount = 0;
    for (;;) {
        char szSubkey[MAX_PATH];
        DWORD nSize = MAX_PATH;
        if (RegEnumKeyExA(hKey, nCount, szSubkey, &nSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        ++nCount;
    }
    RegCloseKey(hKey);
    return nCount;
}

// One subkey into the current item.
static bool ReadProfileEntry(HKEY hProfileList, DWORD nIndex, CleanupItem* pItem)
{
    char szSubkey[MAX_PATH];
    DWORD nSize = MAX_PATH;
    if (RegEnumKeyExA(hProfileList, nIndex, szSubkey, &nSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return false;
    char szKeyPath[MAX_PATH];
    if (FAILED(StringCchPrintfA(szKeyPath, MAX_PATH, "%s\\%s", profileListKey, szSubkey)))
        return false;
    HKEY hProfile;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, szKeyPath, 0, KEY_QUERY_VALUE, &hProfile) != ERROR_SUCCESS)
        return false;
    char szImagePath[MAX_PATH];
    bool bRead = ReadRegistryText(hProfile, "ProfileImagePath", szImagePath);
    RegCloseKey(hProfile);
    if (!bRead)
        return false;

    char szName[MAX_PATH];
    ProfileNameFromPath(szImagePath, szName);
    pItem->SetKind(KIND_PROFILE);
    pItem->SetName(szName);
    pItem->SetPath(szKeyPath);
    return true;
}

bool ReadProfileList(CQuilItemList& list)
{
    list.MoveFirst();
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, profileListKey, 0, KEY_ENUMERATE_SUB_KEYS, &hKey) != ERROR_SUCCESS)
        return false;
    bool bResult = true;
    for (DWORD nIndex = 0; nIndex < list.GetCount(); ++nIndex) {
        CleanupItem* pItem = list.GetItem();
        if (pItem == NULL || !ReadProfileEntry(hKey, nIndex, pItem)) {
            bResult = false;
            break;
        }
        list.MoveNext();
    }
    RegCloseKey(hKey);
    return bResult;
}
