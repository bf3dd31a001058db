#include "ProfileCleanup.h"

#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "config/IniSection.h"
#include "config/ProcessHeap.h"
#include "Preview.h"

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

struct DynamicEntry
{
    const char* pszKey;
    const char* pszValue;
};

// How recent an entry is by its key: P0, P1, ... by their number. A key of
// another form, which only a hand edit makes, counts as older than all.
static DWORD KeyAge(const char* pszKey)
{
    if ((pszKey[0] != 'P' && pszKey[0] != 'p') || pszKey[1] == '\0')
        return 0;
    DWORD nNumber = 0;
    for (const char* p = pszKey + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9' || nNumber > 99999999)
            return 0;
        nNumber = nNumber * 10 + (*p - '0');
    }
    return nNumber + 1;
}

// The section's entries from oldest to newest; entries of equal age keep
// their order in the file.
static void SortByAge(CIniSection& section, DynamicEntry* pEntries)
{
    DWORD nSorted = 0;
    section.MoveFirst();
    do {
        DynamicEntry entry = { section.GetKey(), section.GetValue() };
        DWORD nAge = KeyAge(entry.pszKey);
        DWORD i = nSorted++;
        for (; i > 0 && KeyAge(pEntries[i - 1].pszKey) > nAge; --i)
            pEntries[i] = pEntries[i - 1];
        pEntries[i] = entry;
    } while (section.MoveNext());
}

// The final list, oldest first: every other name once, at its newest place,
// then the name itself, in the spelling the section already holds when it
// holds it; then only the newest maxDynamicProfiles. Returns the count and
// the list's first entry.
static DWORD BuildNewestList(DynamicEntry* pEntries, DWORD nCount, const char* pszName, DWORD* pnFirst)
{
    const char* pszNewest = pszName;
    DWORD nKept = 0;
    for (DWORD i = nCount; i-- > 0;) {
        const char* pszValue = pEntries[i].pszValue;
        bool bDrop = pszValue[0] == '\0';
        if (SameText(pszValue, pszName)) {
            if (pszNewest == pszName)
                pszNewest = pszValue;
            bDrop = true;
        }
        for (DWORD j = nCount - nKept; j < nCount && !bDrop; ++j)
            bDrop = SameText(pszValue, pEntries[j].pszValue);
        if (!bDrop)
            pEntries[nCount - ++nKept].pszValue = pszValue;
    }
    // Kept names now fill the end of the array; the name goes after them.
    DWORD nStart = nCount - nKept;
    for (DWORD i = 0; i < nKept; ++i)
        pEntries[i].pszValue = pEntries[nStart + i].pszValue;
    pEntries[nKept++].pszValue = pszNewest;
    DWORD nWanted = maxDynamicProfiles > 0 ? (DWORD)maxDynamicProfiles : 0;
    *pnFirst = nKept > nWanted ? nKept - nWanted : 0;
    return nKept - *pnFirst;
}

// True when the file already holds exactly P0..Pn-1 with these names.
static bool IsUnchanged(CIniSection& section, const DynamicEntry* pNames, DWORD nNames)
{
    if (section.GetCount() != nNames || !section.MoveFirst())
        return false;
    for (DWORD i = 0; i < nNames; ++i, section.MoveNext()) {
        char szKey[MAX_PATH];
        StringCchPrintfA(szKey, MAX_PATH, "P%lu", i);
        if (!SameText(section.GetKey(), szKey) || strcmp(section.GetValue(), pNames[i].pszValue) != 0)
            return false;
    }
    return true;
}

// The whole section in one write, keys P0..Pn-1; the write's own result.
static bool WriteNames(const DynamicEntry* pNames, DWORD nNames)
{
    size_t nLength = 1;
    for (DWORD i = 0; i < nNames; ++i)
        nLength += 12 + strlen(pNames[i].pszValue) + 2;     // "P" and up to 10 digits, "=", NUL
    char* pBuffer = (char*)AllocZeroed(nLength, 1);
    if (pBuffer == NULL)
        return false;
    char* pLine = pBuffer;
    size_t nRemaining = nLength;
    for (DWORD i = 0; i < nNames; ++i) {
        char* pLineEnd;
        StringCchPrintfExA(pLine, nRemaining, &pLineEnd, &nRemaining, 0, "P%lu=%s", i, pNames[i].pszValue);
        pLine = pLineEnd + 1;   // past the line's NUL
        --nRemaining;
    }
    bool bWritten = previewOnly ? KeepDynamicProfiles(pBuffer, nLength)
                                : WritePrivateProfileSectionA(DYNAMIC_SECTION, pBuffer, iniPath) != FALSE;
    FreeBlock(pBuffer);
    return bWritten;
}

// The name without blanks around it, as the section would give it back;
// false when nothing is left.
static bool TrimmedName(const char* pszName, char (&szName)[MAX_PATH])
{
    while (*pszName == ' ' || *pszName == '\t')
        ++pszName;
    if (FAILED(StringCchCopyA(szName, MAX_PATH, pszName)))
        return false;
    size_t nLength = strlen(szName);
    while (nLength > 0 && (szName[nLength - 1] == ' ' || szName[nLength - 1] == '\t'))
        szName[--nLength] = '\0';
    return nLength > 0;
}

bool SaveDynamicProfileName(const char* pszName, DWORD nBufferSize)
{
    // An empty name is nobody: remembering it would push a real user out.
    char szName[MAX_PATH];
    if (pszName == NULL || nBufferSize > MAX_PATH || !TrimmedName(pszName, szName))
        return false;
    CIniSection section;
    if (!section.Open(iniPath, DYNAMIC_SECTION))
        return false;
    DWORD nCount = section.GetCount();
    DynamicEntry* pEntries = (DynamicEntry*)AllocZeroed(nCount + 1, sizeof(DynamicEntry));
    if (pEntries == NULL)
        return false;
    // The whole list is settled in memory and written once: a stop or a
    // failed write between several writes would leave names lost or out
    // of order, and every write costs the write filter's cache.
    SortByAge(section, pEntries);
    DWORD nFirst;
    DWORD nNames = BuildNewestList(pEntries, nCount, szName, &nFirst);
    // A preview keeps even an unchanged list: the event's profile decisions use it.
    bool bResult = (!previewOnly && IsUnchanged(section, pEntries + nFirst, nNames))
                   || WriteNames(pEntries + nFirst, nNames);
    FreeBlock(pEntries);
    return bResult;
}
