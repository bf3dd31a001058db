#include <windows.h>

#include "StavixModes.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    return IsSaveCommandLine(commandLine) ? RunSaveMode() : RunRestoreMode();
}
