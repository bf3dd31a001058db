#include "FileProtection.h"

#include <string.h>
#include <strsafe.h>

#include "config/Configuration.h"

bool FindServiceFiles(char paths[SERVICE_FILE_COUNT][MAX_PATH])
{
    char szFolder[MAX_PATH];
    DWORD nLength = GetModuleFileNameA(NULL, paths[SERVICE_PROGRAM], MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH || !GetProgramFolder(szFolder) ||
        FAILED(StringCchPrintfA(paths[SERVICE_CONFIGURATION], MAX_PATH, "%sFenwash.ini", szFolder)))
        return false;
    // "C:" alone would name the drive's current folder, not its root.
    size_t nFolderLength = strlen(szFolder);
    if (nFolderLength > 3)
        szFolder[nFolderLength - 1] = '\0';
    return SUCCEEDED(StringCchCopyA(paths[SERVICE_FOLDER], MAX_PATH, szFolder));
}
