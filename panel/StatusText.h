// The lines that tell the user the write filter's state.
#pragma once

#include <windows.h>

extern const wchar_t kFilterActive[];
extern const wchar_t kFilterInactive[];
extern const wchar_t kFilterNotAccessible[];
extern const wchar_t kFilterDisabled[];
extern const wchar_t kFilterFailed[];

// The lines of Flush Cache, up for one refresh period before the state shows
// again.
extern const wchar_t kFlushWaiting[];
extern const wchar_t kFlushDone[];
extern const wchar_t kFlushRefusedFull[];

// The status line for a device that did not open with the given error
// (OpenFailureState): access denied says so whatever the driver's start type;
// otherwise the start type tells a disabled driver from one that failed to load.
LPCWSTR OpenFailureStatus(DWORD openError);
