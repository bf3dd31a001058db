#include "FileActions.h"

#include <strsafe.h>

bool RunApplication(const char* pszCommandLine)
{
    // CreateProcessA may write to its command line, so it gets a copy; a
    // command line that does not fit is refused, since a cut one could start
    // another program or pass other arguments.
    char szCommandLine[MAX_PATH];
    if (pszCommandLine == NULL || FAILED(StringCchCopyA(szCommandLine, MAX_PATH, pszCommandLine)))
        return false;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, szCommandLine, NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL,
                        &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
