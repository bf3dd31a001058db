#include "FlashCallLog.h"

static FlashCallLog callLog;

void LogFlashCall(const FlashCall* call)
{
    if (callLog.count == FLASH_CALL_LOG_SIZE) {
        ++callLog.dropped;
        return;
    }
    callLog.calls[callLog.count++] = *call;
}

void TakeFlashCallLog(FlashCallLog* log)
{
    *log = callLog;
    callLog.count = 0;
    callLog.dropped = 0;
}
