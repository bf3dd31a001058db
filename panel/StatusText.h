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
