#include "ProfileCleanup.h"

#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "config/IniSection.h"
#include "config/ProcessHeap.h"
#include "Preview.h"
#include "service/LogMessage.h"
#include "writefilter/ScopedHandle.h"

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

// How recent an entry is by its key: P0, P1, ... by their number, counted
// from 1. 0 for a key of another form, which only a hand edit makes: such a
// line is the administrator's own, and stays as it stands.
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

// The administrator's own lines first, in file order, then the recent users
// from oldest to newest (entries of equal age keep their order in the file).
// Returns the number of the administrator's lines.
static DWORD SortByAge(CIniSection& section, DynamicEntry* pEntries)
{
    DWORD nOwn = 0;
    DWORD nSorted = 0;
    section.MoveFirst();
    do {
        DynamicEntry entry = { section.GetKey(), section.GetValue() };
        DWORD nAge = KeyAge(entry.pszKey);
        DWORD i = nSorted++;
        for (; i > nOwn && (nAge == 0 || KeyAge(pEntries[i - 1].pszKey) > nAge); --i)
            pEntries[i] = pEntries[i - 1];
        pEntries[i] = entry;
        if (nAge == 0)
            ++nOwn;
    } while (section.MoveNext());
    return nOwn;
}

// The recent users, oldest first: every other name once, at its newest place,
// then the name itself, in the spelling the list already holds when it holds
// it; then only the newest maxDynamicProfiles. Returns the count and the
// list's first entry.
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

// The section's lines, each ending in NUL, the list in one more NUL: the
// administrator's lines as they stand, then the names as P0..Pn-1. NULL
// when there is no memory for them.
static char* SectionLines(const DynamicEntry* pOwn, DWORD nOwn, const DynamicEntry* pNames, DWORD nNames,
                          size_t* pnLength)
{
    size_t nLength = 1;
    for (DWORD i = 0; i < nOwn; ++i)
        nLength += strlen(pOwn[i].pszKey) + strlen(pOwn[i].pszValue) + 2;
    for (DWORD i = 0; i < nNames; ++i)
        nLength += 12 + strlen(pNames[i].pszValue) + 2;     // "P" and up to 10 digits, "=", NUL
    char* pBuffer = (char*)AllocZeroed(nLength, 1);
    if (pBuffer == NULL)
        return NULL;
    char* pLine = pBuffer;
    size_t nRemaining = nLength;
    for (DWORD i = 0; i < nOwn + nNames; ++i) {
        char* pLineEnd;
        if (i < nOwn)
            StringCchPrintfExA(pLine, nRemaining, &pLineEnd, &nRemaining, 0, "%s=%s", pOwn[i].pszKey, pOwn[i].pszValue);
        else
            StringCchPrintfExA(pLine, nRemaining, &pLineEnd, &nRemaining, 0, "P%lu=%s", i - nOwn,
                               pNames[i - nOwn].pszValue);
        pLine = pLineEnd + 1;   // past the line's NUL
        --nRemaining;
    }
    *pnLength = nLength;
    return pBuffer;
}

// True when the file already holds exactly these lines, in this order.
static bool IsUnchanged(CIniSection& section, const char* pLines)
{
    if (!section.MoveFirst())
        return false;
    for (DWORD i = 0; i < section.GetCount(); ++i, section.MoveNext()) {
        size_t nKey = strlen(section.GetKey());
        if (strncmp(pLines, section.GetKey(), nKey) != 0 || pLines[nKey] != '='
            || strcmp(pLines + nKey + 1, section.GetValue()) != 0)
            return false;
        pLines += strlen(pLines) + 1;
    }
    return *pLines == '\0';
}

// The write's own result; a preview writes nothing and asks only whether the
// file could be opened for the write.
static bool WriteLines(const char* pLines)
{
    if (!previewOnly)
        return WritePrivateProfileSectionA(DYNAMIC_SECTION, pLines, iniPath) != FALSE;
    ScopedHandle file(CreateFileA(iniPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                  0, NULL));
    return file.IsValid();
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
    DWORD nOwn = SortByAge(section, pEntries);
    DWORD nFirst;
    DWORD nNames = BuildNewestList(pEntries + nOwn, nCount - nOwn, szName, &nFirst);
    const DynamicEntry* pNames = pEntries + nOwn + nFirst;
    size_t nLength;
    char* pLines = SectionLines(pEntries, nOwn, pNames, nNames, &nLength);
    // Kept for the event before the write: a file that cannot be written
    // (read-only, held open without write sharing) must not cost the user
    // just remembered their profile at this very event.
    bool bResult = pLines != NULL
                   && KeepDynamicProfiles(pLines, nLength, nNames > 0 ? pNames[nNames - 1].pszValue : NULL);
    if (bResult && !IsUnchanged(section, pLines)) {
        bResult = WriteLines(pLines);
        if (!bResult) {
            DWORD nError = GetLastError();
            LogMessage("SaveDynamicProfileName", "[SaveDynamicProfiles] could not be written to %s (error %lu); "
                       "its names still count for this event", iniPath, nError);
            ReportOutcome(FAILED_SAVE_USERS, "    not written: the file cannot be written (error %lu); these names "
                          "still count for this event", nError);
        }
    }
    FreeBlock(pLines);
    FreeBlock(pEntries);
    return bResult;
}
