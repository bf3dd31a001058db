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
    // What an unattended flush came to.
    enum FlushResult
    {
        FLUSH_DONE,
        FLUSH_NOT_OPENED,    // the device did not open
        FLUSH_CACHE_FULL,    // nothing flushed: a full cache cannot take it
        FLUSH_STATUS_UNREAD, // nothing flushed: the state was not known
        FLUSH_FAILED         // the driver refused the flush
    };
    // Flushes the cache unless it is full or its state cannot be read.
    FlushResult Flush(DWORD access);
    // 0 after a flush, 1 when the device did not open, -1 otherwise.
    static int ExitStatusOf(FlushResult result);
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
};
