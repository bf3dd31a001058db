#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "FindHandle.h"
#include "Preview.h"

bool DeleteMatchingFiles(const char* pszPattern)
{
    // The matches' full names are built from the pattern's directory part;
    // without one they would be looked for in the service's current
    // directory, which is not what any item names. The platform takes "/"
    // for a separator too: cut at "\" alone, C:\Logs/sub/*.log would search
    // C:\Logs\sub and delete in C:\.
    char szDirectory[MAX_PATH] = {};
    if (pszPattern == NULL || FAILED(StringCchCopyA(szDirectory, MAX_PATH, pszPattern)))
        return false;
    char* pLastSeparator = (char*)FindLastPathSeparator(szDirectory);
    if (pLastSeparator == NULL) {
        ReportLine("    refused: the pattern names no folder");
        return false;
    }
    pLastSeparator[1] = '\0';
    const char* pszNamePattern = pszPattern + (pLastSeparator + 1 - szDirectory);

    WIN32_FIND_DATAA match;
    CFindHandle find(pszPattern, &match);
    if (!find.IsOpen())
        return true;
    bool bResult = true;
    do {
        // The platform's search also matches the short 8.3 names: *.log
        // finds keep.logbook by KEEP~Q10.LOG. Only a long name that
        // matches counts.
        if (!MatchesWildcard(match.cFileName, pszNamePattern))
            continue;
        char szFullName[MAX_PATH];
        if (FAILED(StringCchPrintfA(szFullName, MAX_PATH, "%s%s", szDirectory, match.cFileName))) {
            ReportLine("    left: %s%s (full name too long)", szDirectory, match.cFileName);
            bResult = false;
            continue;
        }
        if (RemovedEarlierInPreview(szFullName))
            continue;
        // A folder, link or not, is no file: its delete fails and leaves it.
        // "." and ".." are no entries, and are not named.
        if (match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const char* pszName = match.cFileName;
            if (!(pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'))))
                ReportLine("    left: %s%s (a folder: a file pattern deletes only files)", szDirectory, pszName);
            bResult = false;
            continue;
        }
        // Deleted by its name, "x." would take "x", which may not match.
        if (EndsInDotOrBlank(match.cFileName)) {
            ReportLine("    left: %s%s (name ends in a dot or blank)", szDirectory, match.cFileName);
            bResult = false;
            continue;
        }
        ReportLine("    file: %s", szFullName);
        // Setting a link's attributes would change its target's.
        if ((match.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
            && (match.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            SetAttributesUnlessPreview(szFullName, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileOrCount(szFullName))
            bResult = false;
    } while (find.Next(&match));
    return bResult;
}
