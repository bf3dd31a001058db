#include "PanelState.h"

#include "PanelRegistry.h"
#include "ScopedHandle.h"
#include "StatusText.h"

PanelState ReadFilterState(WriteFilterDevice& device, DWORD access)
{
    ScopedHandle handle(device.OpenDevice(access));
    if (!handle.IsValid())
        return OpenFailureState(GetLastError());
    if (!device.QueryStatus(handle.Get()))
        return FILTER_FAILED;
    return device.FilterActive() ? FILTER_ACTIVE : FILTER_INACTIVE;
}

PanelState OpenFailureState(DWORD openError)
{
    if (openError == ERROR_ACCESS_DENIED)
        return FILTER_NOT_ACCESSIBLE;
    return DriverStartDisabled() ? FILTER_DISABLED : FILTER_FAILED;
}

LPCWSTR StatusLine(PanelState state)
{
    switch (state) {
    case FILTER_ACTIVE:
        return kFilterActive;
    case FILTER_INACTIVE:
        return kFilterInactive;
    case FILTER_DISABLED:
        return kFilterDisabled;
    case FILTER_NOT_ACCESSIBLE:
        return kFilterNotAccessible;
    case FILTER_FAILED:
        break;
    }
    return kFilterFailed;
}
