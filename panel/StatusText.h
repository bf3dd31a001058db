// The lines that tell the user the write filter's state.
#pragma once

#include <windows.h>

extern const wchar_t kFilterActive[];
extern const wchar_t kFilterInactive[];
extern const wchar_t kFilterNotAccessible[];
extern const wchar_t kFilterDisabled[];
extern const wchar_t kFilterFailed[];

// The status line for a device that did not open with the given error
// (OpenFailureState).
LPCWSTR OpenFailureStatus(DWORD openError);
