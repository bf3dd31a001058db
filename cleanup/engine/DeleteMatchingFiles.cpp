#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "FindHandle.h"
#include "PathEntry.h"
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
        ReportOutcome(REFUSED_PATH, "    refused: the pattern names no folder");
        return false;
    }
    pLastSeparator[1] = '\0';
    const char* pszNamePattern = pszPattern + (pLastSeparator + 1 - szDirectory);
    // The names are built on the canonical form where there is one, which
    // the "\\?\" form of a name ending in a dot needs. Only a share has
    // none; any other folder without one (Logs\, ..\, \Logs\, C:Logs\) is
    // relative to the current directory or drive, the admin's prompt in a
    // preview and the system directory in the service.
    char szFolder[MAX_PATH];
    if (!CanonicalDirectory(szDirectory, szFolder)) {
        if (!StartsWithTwoSeparators(szDirectory)) {
            ReportOutcome(REFUSED_PATH, "    refused: the pattern's folder is not a full path");
            return false;
        }
        StringCchCopyA(szFolder, MAX_PATH, szDirectory);
    }

    // Every name of the folder is listed and the pattern is matched here, by
    // the long name alone and by one rule: the platform's own search also
    // matches short 8.3 names (*.log finds keep.logbook by KEEP~Q10.LOG), and
    // not every platform reads "?" or "*." alike (the terminal's search
    // returns every name for "*.", Windows only those without an extension).
    char szSearch[MAX_PATH];
    if (FAILED(StringCchPrintfA(szSearch, MAX_PATH, "%s*", szFolder)))
        return false;
    WIN32_FIND_DATAA match;
    CFindHandle find(szSearch, &match);
    if (!find.IsOpen())
        return find.FoundNothing();
    bool bResult = true;
    do {
        if (!MatchesWildcard(match.cFileName, pszNamePattern))
            continue;
        char szFullName[MAX_PATH];
        if (!EntryFullName(szFolder, match.cFileName, szFullName)) {
            ReportOutcome(REFUSED_PATH, "    left: %s%s (full name too long, or not reachable by its exact name)", szFolder,
                          match.cFileName);
            bResult = false;
            continue;
        }
        if (RemovedEarlierInPreview(szFullName))
            continue;
        // A folder, link or not, is no file: its delete fails and leaves it.
        // "." and ".." are no entries, and are not named.
        if (match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsSelfOrParent(match.cFileName))
                ReportOutcome(LEFT_FOLDER_MATCHED, "    left: %s%s (a folder: a file pattern deletes only files)", szFolder,
                              match.cFileName);
            bResult = false;
            continue;
        }
        ReportLine("    file: %s", szFullName);
        // Setting a link's attributes would change its target's.
        if ((match.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) && !IsLink(match.dwFileAttributes))
            SetAttributesUnlessPreview(szFullName, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileOrCount(szFullName))
            bResult = false;
    } while (find.Next(&match));
    return bResult;
}
