// The program's command line and the administrative switches it offers.
#pragma once

#include <windows.h>

// The position just after the next character of `text` that is one of
// `switchChars`, or NULL when there is none (or no text).
LPSTR NextSwitch(LPSTR text, LPCSTR switchChars);

// True when `word` is a prefix of `text`, compared without regard to case.
bool SwitchIs(LPCSTR text, LPCSTR word);

// Shows the switches in a message box (and on standard output); returns 0.
int ShowCommandLineHelp();

// 1 when the service was not created, 0 when it was.
BYTE InstallService(LPCSTR name, LPCSTR displayName);

// 1 when the service was deleted, 0 otherwise.
BYTE RemoveService(LPCSTR name);

// Fenwash -Preview: loads the configuration beside the program and reports
// on standard output what each event would do, changing nothing; 0 when the
// configuration was read, 1 when it could not be.
int RunPreview();

// What WinMain does with a command line: the process's exit code.
int RunCommandLine(LPSTR commandLine);
