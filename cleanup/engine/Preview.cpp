#include "Preview.h"

#include <stdarg.h>
#include <string.h>
#include <strsafe.h>

#include "config/ProcessHeap.h"
#include "StandardOutput.h"

bool previewOnly = false;

namespace {

struct RemovalCounts
{
    DWORD nFiles;
    DWORD nFolders;
    DWORD nLinks;
};

RemovalCounts removals;

// The entries a preview has counted as removed in the current event, by
// their full names upper-cased, each with a hash of it, so that a preview of
// thousands of files compares numbers, not names.
struct RemovedEntry
{
    RemovedEntry* pNext;
    DWORD nHash;
    char szName[MAX_PATH];
};

RemovedEntry* removedEntries = NULL;

// The full name, upper-cased, and its hash; false when it cannot be had.
// The full name makes C:/Logs/a.log and C:\Logs\a.log one entry.
bool RemovalKey(const char* pszName, char (&szKey)[MAX_PATH], DWORD* pnHash)
{
    DWORD nFull = GetFullPathNameA(pszName, MAX_PATH, szKey, NULL);
    if (nFull == 0 || nFull >= MAX_PATH)
        return false;
    CharUpperBuffA(szKey, nFull);
    *pnHash = 2166136261u;
    for (const char* p = szKey; *p != '\0'; ++p)
        *pnHash = (*pnHash ^ (BYTE)*p) * 16777619u;
    return true;
}

bool IsRecorded(const char* pszKey, DWORD nHash)
{
    for (const RemovedEntry* pEntry = removedEntries; pEntry != NULL; pEntry = pEntry->pNext) {
        if (pEntry->nHash == nHash && strcmp(pEntry->szName, pszKey) == 0)
            return true;
    }
    return false;
}

// False when the entry was counted before; a name that cannot be had is
// counted anew.
bool CountRemoval(const char* pszName)
{
    char szKey[MAX_PATH];
    DWORD nHash;
    if (!RemovalKey(pszName, szKey, &nHash))
        return true;
    if (IsRecorded(szKey, nHash))
        return false;
    RemovedEntry* pEntry = (RemovedEntry*)AllocZeroed(1, sizeof(RemovedEntry));
    if (pEntry != NULL) {
        pEntry->nHash = nHash;
        StringCchCopyA(pEntry->szName, MAX_PATH, szKey);
        pEntry->pNext = removedEntries;
        removedEntries = pEntry;
    }
    return true;
}

} // namespace

bool RemovedEarlierInPreview(const char* pszName)
{
    char szKey[MAX_PATH];
    DWORD nHash;
    return previewOnly && RemovalKey(pszName, szKey, &nHash) && IsRecorded(szKey, nHash);
}

void ForgetRemovals()
{
    while (removedEntries != NULL) {
        RemovedEntry* pEntry = removedEntries;
        removedEntries = pEntry->pNext;
        FreeBlock(pEntry);
    }
}

void ReportLine(const char* pszFormat, ...)
{
    if (!previewOnly)
        return;
    // Room for a line break after the longest text; a longer one is cut.
    char szLine[770];
    va_list args;
    va_start(args, pszFormat);
    StringCchVPrintfA(szLine, sizeof szLine - 2, pszFormat, args);
    va_end(args);
    StringCchCatA(szLine, sizeof szLine, "\r\n");
    WriteToStandardOutput(szLine, (DWORD)strlen(szLine));
}

void ReportRemovals()
{
    ReportLine("    removes: files %lu, folders %lu, links %lu", removals.nFiles, removals.nFolders, removals.nLinks);
    removals = RemovalCounts();
}

bool DeleteFileOrCount(const char* pszName)
{
    if (!previewOnly)
        return DeleteFileA(pszName) != FALSE;
    if (CountRemoval(pszName))
        ++removals.nFiles;
    return true;
}

bool RemoveDirectoryOrCount(const char* pszName, bool bEmptied, bool bLink)
{
    if (!previewOnly)
        return RemoveDirectoryA(pszName) != FALSE;
    if (bLink) {
        // Removing a link leaves its target as it is.
        if (CountRemoval(pszName)) {
            ReportLine("    link removed, not followed: %s", pszName);
            ++removals.nLinks;
        }
        return true;
    }
    if (!bEmptied) {
        ReportLine("    left: %s (would not be empty)", pszName);
        return false;
    }
    if (CountRemoval(pszName))
        ++removals.nFolders;
    return true;
}

void SetAttributesUnlessPreview(const char* pszName, DWORD nAttributes)
{
    if (!previewOnly)
        SetFileAttributesA(pszName, nAttributes);
}
