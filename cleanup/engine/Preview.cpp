#include "Preview.h"

#include <stdarg.h>
#include <string.h>
#include <strsafe.h>

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

} // namespace

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
    ++removals.nFiles;
    return true;
}

bool RemoveDirectoryOrCount(const char* pszName, bool bEmptied, bool bLink)
{
    if (!previewOnly)
        return RemoveDirectoryA(pszName) != FALSE;
    if (bLink) {
        // Removing a link leaves its target as it is.
        ReportLine("    link removed, not followed: %s", pszName);
        ++removals.nLinks;
        return true;
    }
    if (!bEmptied) {
        ReportLine("    left: %s (would not be empty)", pszName);
        return false;
    }
    ++removals.nFolders;
    return true;
}

void SetAttributesUnlessPreview(const char* pszName, DWORD nAttributes)
{
    if (!previewOnly)
        SetFileAttributesA(pszName, nAttributes);
}
