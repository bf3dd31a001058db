// The system's registry editor, importing the script without a window.
#pragma once

#include <windows.h>

// Runs "regedit /s Z:\stavix.reg" and waits for it to end. False when it
// could not be started; otherwise its exit code is in exitCode.
bool RunRegistryImport(DWORD* exitCode);
