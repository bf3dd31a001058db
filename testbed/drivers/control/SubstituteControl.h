// Steering the substitute drivers from a program on the terminal, through
// their test devices. Each call returns false when the driver refused or
// is not there, with the Windows error left for the caller.
#pragma once

#include <windows.h>

#include "FlashTestControl.h"
#include "WriteFilterTestControl.h"

bool SetWriteFilterTestState(const WriteFilterTestState& state);
bool GetWriteFilterTestState(WriteFilterTestState* state);

bool SetFlashFaults(const FlashTestFaults& faults);
// The calls since the last take, in order; the driver's log is emptied.
bool TakeFlashCallLog(FlashCallLog* log);
