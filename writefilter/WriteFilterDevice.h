// The one way the panel and the persistence tool talk to the write filter
// driver. The object owns no handle: callers open the device, pass the
// handle to the calls and close it themselves.
#pragma once

#include <windows.h>

#include "WriteFilterProtocol.h"

class WriteFilterDevice
{
public:
    // Members stay undefined until a device call fills them; read status
    // only after a call succeeded.
    WriteFilterDevice() {}
    virtual ~WriteFilterDevice() {}

    // INVALID_HANDLE_VALUE on failure, with the Windows error left for the
    // caller.
    HANDLE OpenDevice(DWORD access);
    BOOL QueryStatus(HANDLE device);
    // Returns when the driver has finished the flush.
    BOOL FlushCache(HANDLE device);
    // Flushes the cache, or ends the process: exit status 1 when the device
    // does not open, -1 when the cache is full, the status cannot be read,
    // or the flush fails.
    void FlushOrExit(DWORD access);
    // Restarts this computer at once, closing applications by force.
    BOOL RestartSystem();

    // A full cache has overflowed and cannot take a flush. More blocks in
    // use than in all is no state to flush either: it counts as full.
    bool CacheFull() const { return status.blocksInUse >= status.blocksTotal; }
    bool FilterActive() const { return status.mode != WRITE_FILTER_MODE_INACTIVE; }

    BOOL lastResult;
    DWORD bytesReturned;
    WriteFilterStatus status;

private:
    BOOL Call(HANDLE device, DWORD code);
    int FlushOnce(DWORD access);
};
