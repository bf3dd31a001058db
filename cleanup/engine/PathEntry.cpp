#include "PathEntry.h"

#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"

static const char EXACT_PREFIX[] = "\\\\?\\";

// The platform drops a trailing dot or blank from every part of a path it is
// given in the ordinary form: "pin." or "keep " would be reached as "pin" or
// "keep", another entry and perhaps a protected folder, and "dot.\inside.txt"
// as "dot\inside.txt". The "\\?\" form takes the path as it is written. The
// ANSI calls hand it to their wide-character counterparts unchanged.
bool EntryFullName(const char* pszFolder, const char* pszName, char (&szFull)[MAX_PATH])
{
    const char* pszPrefix = "";
    if (EndsInDotOrBlank(pszName) && strncmp(pszFolder, EXACT_PREFIX, 4) != 0) {
        char chDrive = (char)(pszFolder[0] | 0x20);
        if (chDrive < 'a' || chDrive > 'z' || pszFolder[1] != ':' || pszFolder[2] != '\\')
            return false;
        pszPrefix = EXACT_PREFIX;
    }
    return SUCCEEDED(StringCchPrintfA(szFull, MAX_PATH, "%s%s%s", pszPrefix, pszFolder, pszName));
}

DWORD EntryAttributes(const char* pszPath)
{
    char szEntry[MAX_PATH];
    if (FAILED(StringCchCopyA(szEntry, MAX_PATH, pszPath))) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_FILE_ATTRIBUTES;
    }
    size_t nLength = strlen(szEntry);
    if (nLength > 3 && EndsWithBackslash(szEntry))
        szEntry[nLength - 1] = '\0';
    return GetFileAttributesA(szEntry);
}
