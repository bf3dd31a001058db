#include "Preview.h"

#include <stdarg.h>
#include <string.h>
#include <strsafe.h>

#include "config/ProcessHeap.h"
#include "PathEntry.h"
#include "StandardOutput.h"

bool previewOnly = false;

namespace {

// The event's removals as ReportRemovals last wrote them: each item's line
// gives what the event's tally gained since.
DWORD reportedRemovals[REMOVED_LINK + 1];

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
    for (DWORD& nReported : reportedRemovals)
        nReported = 0;
    while (removedEntries != NULL) {
        RemovedEntry* pEntry = removedEntries;
        removedEntries = pEntry->pNext;
        FreeBlock(pEntry);
    }
}

namespace {

void WriteReportLine(const char* pszFormat, va_list args)
{
    // Room for a line break after the longest text; a longer one is cut.
    char szLine[770];
    StringCchVPrintfA(szLine, sizeof szLine - 2, pszFormat, args);
    StringCchCatA(szLine, sizeof szLine, "\r\n");
    WriteToStandardOutput(szLine, (DWORD)strlen(szLine));
}

} // namespace

void ReportLine(const char* pszFormat, ...)
{
    if (!previewOnly)
        return;
    va_list args;
    va_start(args, pszFormat);
    WriteReportLine(pszFormat, args);
    va_end(args);
}

void ReportOutcome(Outcome outcome, const char* pszFormat, ...)
{
    Tally(outcome);
    if (!previewOnly)
        return;
    va_list args;
    va_start(args, pszFormat);
    WriteReportLine(pszFormat, args);
    va_end(args);
}

void ReportRemovals()
{
    const DWORD* pCounts = CurrentEventTally().nCounts;
    ReportLine("    removes: files %lu, folders %lu, links %lu", pCounts[REMOVED_FILE] - reportedRemovals[REMOVED_FILE],
               pCounts[REMOVED_FOLDER] - reportedRemovals[REMOVED_FOLDER],
               pCounts[REMOVED_LINK] - reportedRemovals[REMOVED_LINK]);
    for (DWORD i = 0; i <= REMOVED_LINK; ++i)
        reportedRemovals[i] = pCounts[i];
}

bool DeleteFileOrCount(const char* pszName)
{
    if (!previewOnly) {
        if (DeleteFileA(pszName)) {
            Tally(REMOVED_FILE);
            return true;
        }
        // One that went between the listing and its deletion is no failure.
        if (!IsNotFound(GetLastError()))
            Tally(FAILED_REMOVAL);
        return false;
    }
    if (CountRemoval(pszName))
        Tally(REMOVED_FILE);
    return true;
}

bool RemoveDirectoryOrCount(const char* pszName, bool bEmptied, bool bLink)
{
    if (!previewOnly) {
        if (RemoveDirectoryA(pszName)) {
            Tally(bLink ? REMOVED_LINK : REMOVED_FOLDER);
            return true;
        }
        DWORD nError = GetLastError();
        // A folder that holds what was left on purpose (a name starting with
        // a dot, a protected folder) stays as the preview says it would.
        if (!bLink && nError == ERROR_DIR_NOT_EMPTY)
            Tally(LEFT_NOT_EMPTY);
        else if (!IsNotFound(nError))
            Tally(FAILED_REMOVAL);
        return false;
    }
    if (bLink) {
        // Removing a link leaves its target as it is.
        if (CountRemoval(pszName)) {
            ReportLine("    link removed, not followed: %s", pszName);
            Tally(REMOVED_LINK);
        }
        return true;
    }
    if (!bEmptied) {
        ReportOutcome(LEFT_NOT_EMPTY, "    left: %s (would not be empty)", pszName);
        return false;
    }
    if (CountRemoval(pszName))
        Tally(REMOVED_FOLDER);
    return true;
}

void SetAttributesUnlessPreview(const char* pszName, DWORD nAttributes)
{
    if (!previewOnly)
        SetFileAttributesA(pszName, nAttributes);
}
