#include "Preview.h"

#include <stdarg.h>
#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/ProcessHeap.h"
#include "service/StandardOutput.h"

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
// their full names.
struct RemovedEntry
{
    RemovedEntry* pNext;
    char szName[MAX_PATH];
};

RemovedEntry* removedEntries = NULL;

// False when the entry was counted before. The full name makes C:/Logs/a.log
// and C:\Logs\a.log one entry; a name that cannot be had is counted anew.
bool CountRemoval(const char* pszName)
{
    if (RemovedEarlierInPreview(pszName))
        return false;
    RemovedEntry* pEntry = (RemovedEntry*)AllocZeroed(1, sizeof(RemovedEntry));
    DWORD nFull = pEntry == NULL ? 0 : GetFullPathNameA(pszName, MAX_PATH, pEntry->szName, NULL);
    if (nFull == 0 || nFull >= MAX_PATH) {
        FreeBlock(pEntry);
        return true;
    }
    pEntry->pNext = removedEntries;
    removedEntries = pEntry;
    return true;
}

} // namespace

bool RemovedEarlierInPreview(const char* pszName)
{
    char szFull[MAX_PATH];
    DWORD nFull = previewOnly ? GetFullPathNameA(pszName, MAX_PATH, szFull, NULL) : 0;
    if (nFull == 0 || nFull >= MAX_PATH)
        return false;
    for (const RemovedEntry* pEntry = removedEntries; pEntry != NULL; pEntry = pEntry->pNext) {
        if (SameText(pEntry->szName, szFull))
            return true;
    }
    return false;
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
