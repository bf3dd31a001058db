/* The calls the flash device answered, for tests to read back. */
#pragma once

#include <ntddk.h>

#include "FlashTestControl.h"

void LogFlashCall(const FlashCall* call);
/* Hands the log over and starts an empty one. */
void TakeFlashCallLog(FlashCallLog* log);
