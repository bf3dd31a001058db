#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "FindHandle.h"

bool DeleteMatchingFiles(const char* pszPattern)
{
    // The matches' full names are built from the pattern's directory part;
    // without one they would be looked for in the service's current
    // directory, which is not what any item names.
    char szDirectory[MAX_PATH] = {};
    if (pszPattern == NULL || FAILED(StringCchCopyA(szDirectory, MAX_PATH, pszPattern)))
        return false;
    char* pLastBackslash = (char*)FindLastChar(szDirectory, '\\');
    if (pLastBackslash == NULL)
        return false;
    pLastBackslash[1] = '\0';

    WIN32_FIND_DATAA match;
    CFindHandle find(pszPattern, &match);
    if (!find.IsOpen())
        return true;
    bool bResult = true;
    do {
        char szFullName[MAX_PATH];
        if (FAILED(StringCchPrintfA(szFullName, MAX_PATH, "%s%s", szDirectory, match.cFileName))) {
            bResult = false;
            continue;
        }
        // Setting a link's attributes would change its target's.
        if ((match.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
            && (match.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            SetFileAttributesA(szFullName, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(szFullName))
            bResult = false;
    } while (find.Next(&match));
    return bResult;
}
