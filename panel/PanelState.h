// The write filter's state as the panel tells it: decided in one place for
// the status dialog, the boot notice and the "/q" report.
#pragma once

#include <windows.h>

#include "WriteFilterDevice.h"

enum PanelState
{
    FILTER_ACTIVE,
    FILTER_INACTIVE,
    FILTER_DISABLED,
    FILTER_FAILED,         // "FAILED to load": no driver, or one that does not answer
    FILTER_NOT_ACCESSIBLE
};

// Opens the device with the given access, asks for its status and closes it
// again. The device's status record holds the figures only when the state
// HasFigures.
PanelState ReadFilterState(WriteFilterDevice& device, DWORD access);

// The state of a device that did not open with the given error: access
// denied says so whatever the driver's start type; otherwise the start type
// tells a disabled driver from one that failed to load.
PanelState OpenFailureState(DWORD openError);

inline bool HasFigures(PanelState state)
{
    return state == FILTER_ACTIVE || state == FILTER_INACTIVE;
}

// The status line the dialogs show for the state.
LPCWSTR StatusLine(PanelState state);
