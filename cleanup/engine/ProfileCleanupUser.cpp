#include "ProfileCleanup.h"

#include <strsafe.h>

#include "config/Configuration.h"
#include "config/IniSection.h"

static const char DYNAMIC_SECTION[] = "SaveDynamicProfiles";

bool GetDefaultUserName(char (&szName)[MAX_PATH])
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 0,
                      KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    char szValue[MAX_PATH];
    bool bRead = ReadRegistryText(hKey, "DefaultUserName", szValue);
    RegCloseKey(hKey);
    if (bRead)
        StringCchCopyA(szName, MAX_PATH, szValue);
    return bRead;
}

static void FormatKey(char (&szKey)[MAX_PATH], DWORD nNumber)
{
    StringCchPrintfA(szKey, MAX_PATH, "P%lu", nNumber);
}

// Gives the entry found under key P(nFrom) the key P(nTo).
static void RenumberKey(CIniSection& section, DWORD nFrom, DWORD nTo)
{
    char szKey[MAX_PATH];
    FormatKey(szKey, nFrom);
    if (section.FindKey(szKey)) {
        FormatKey(szKey, nTo);
        section.SetKey(szKey, MAX_PATH);
    }
}

// Moves the entry holding the name to the newest place; the others keep
// their order and are numbered densely from P0.
static bool MoveToNewest(CIniSection& section, DWORD nCount)
{
    char szKey[MAX_PATH];
    FormatKey(szKey, nCount);
    section.SetKey(szKey, MAX_PATH);
    DWORD nNext = 0;
    for (DWORD i = 0; i <= nCount + 1; ++i) {
        FormatKey(szKey, i);
        if (section.FindKey(szKey)) {
            FormatKey(szKey, nNext++);
            section.SetKey(szKey, MAX_PATH);
        }
    }
    return section.WriteSection();
}

// Drops the oldest entries until no more than maxDynamicProfiles remain.
static void TrimOldest(CIniSection& section)
{
    LONG nExcess = (LONG)section.GetCount() - maxDynamicProfiles;
    bool bWritten = true;
    for (LONG nPass = 0; nPass < nExcess && bWritten; ++nPass) {
        if (section.FindKey("P0") && !section.DeleteEntry())
            return;
        DWORD nHeld = section.GetCount();
        for (DWORD i = 1; i <= nHeld; ++i)
            RenumberKey(section, i, i - 1);
        bWritten = section.WriteSection();
    }
}

void SaveDynamicProfileName(const char* pszName, DWORD nBufferSize)
{
    if (pszName == NULL || nBufferSize > MAX_PATH)
        return;
    CIniSection section;
    if (!section.Open(iniPath, DYNAMIC_SECTION))
        return;
    DWORD nCount = section.GetCount();
    bool bWritten;
    if (section.FindValue(pszName)) {
        bWritten = MoveToNewest(section, nCount);
    } else {
        char szKey[MAX_PATH];
        FormatKey(szKey, nCount);
        bWritten = section.AddEntry(szKey, pszName);
    }
    if (bWritten)
        TrimOldest(section);
}
