#include "FileProtection.h"

#include <strsafe.h>

#include "config/AnsiText.h"

bool FindServiceFiles(char paths[SERVICE_FILE_COUNT][MAX_PATH])
{
    char* pszProgram = paths[SERVICE_PROGRAM];
    DWORD nLength = GetModuleFileNameA(NULL, pszProgram, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return false;
    char* pszFolder = paths[SERVICE_FOLDER];
    StringCchCopyA(pszFolder, MAX_PATH, pszProgram);
    char* pLastBackslash = (char*)FindLastChar(pszFolder, '\\');
    if (pLastBackslash == NULL)
        return false;
    int nFolderLength = (int)(pLastBackslash - pszFolder);
    // "C:" alone would name the drive's current folder, not its root.
    pLastBackslash[nFolderLength == 2 && pszFolder[1] == ':' ? 1 : 0] = '\0';
    return SUCCEEDED(StringCchPrintfA(paths[SERVICE_CONFIGURATION], MAX_PATH, "%.*sFenwash.ini",
                                      nFolderLength + 1, pszProgram));
}
