#include "RegistryImport.h"

#include <strsafe.h>

#include "ScopedHandle.h"
#include "StavixFiles.h"

bool RunRegistryImport(DWORD* exitCode)
{
    wchar_t commandLine[STAVIX_LINE_SIZE];
    if (FAILED(StringCchPrintfW(commandLine, STAVIX_LINE_SIZE, L"regedit /s %s", SCRIPT_PATH_W)))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup,
                        &process))
        return false;
    ScopedHandle thread(process.hThread);
    ScopedHandle editor(process.hProcess);
    WaitForSingleObject(editor.Get(), INFINITE);
    GetExitCodeProcess(editor.Get(), exitCode);
    return true;
}
