#include "StatusText.h"

const wchar_t kFilterActive[] = L"NTE flash memory write filter is ACTIVE";
const wchar_t kFilterInactive[] = L"NTE flash memory write filter is INACTIVE";
const wchar_t kFilterNotAccessible[] = L"NTE flash memory write filter is NOT ACCESSIBLE";
const wchar_t kFilterDisabled[] = L"NTE flash memory write filter is DISABLED";
const wchar_t kFilterFailed[] = L"NTE flash memory write filter FAILED to load";
const wchar_t kFlushWaiting[] = L"Flushing cache... please wait.";
const wchar_t kFlushDone[] = L"Flushing cache is done.";
const wchar_t kFlushRefusedFull[] = L"The cache is full and cannot be flushed: restart the system.";
