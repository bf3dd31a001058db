#include "StatusText.h"

#include "PanelState.h"

const wchar_t kFilterActive[] = L"NTE flash memory write filter is ACTIVE";
const wchar_t kFilterInactive[] = L"NTE flash memory write filter is INACTIVE";
const wchar_t kFilterNotAccessible[] = L"NTE flash memory write filter is NOT ACCESSIBLE";
const wchar_t kFilterDisabled[] = L"NTE flash memory write filter is DISABLED";
const wchar_t kFilterFailed[] = L"NTE flash memory write filter FAILED to load";

LPCWSTR OpenFailureStatus(DWORD openError)
{
    return StatusLine(OpenFailureState(openError));
}
