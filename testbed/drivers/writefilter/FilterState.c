#include "FilterState.h"

#include "FlushSnapshot.h"

#include "HostFile.h"
#include "Irp.h"

/* The driver host hands this driver one request at a time, so the state
   needs no lock. */
static WriteFilterTestState state;
static NamedDevice* device;

void InitFilterState(NamedDevice* filterDevice)
{
    device = filterDevice;
    RtlZeroMemory(&state, sizeof(state));
    /* A filter that is on and has taken a few writes since boot. */
    state.status.blocksInUse = 96;
    state.status.blocksTotal = 8192;
}

static NTSTATUS Flush(void)
{
    if (state.flushDelayMs != 0)
        WaitMilliseconds(state.flushDelayMs);
    if (state.faults & WRITE_FILTER_FAULT_FLUSH)
        return STATUS_UNSUCCESSFUL;
    /* A flush the terminal's restart would not keep has failed. */
    NTSTATUS status = TakeFlushSnapshot();
    if (!NT_SUCCESS(status))
        return status;
    static const char line[] = "flush\r\n";
    status = AppendToHostFile(WRITE_FILTER_FLUSH_RECORD, line, sizeof(line) - 1);
    if (!NT_SUCCESS(status))
        return status;
    state.status.entriesFlushed += state.status.blocksInUse;
    state.status.blocksInUse = 0;
    return STATUS_SUCCESS;
}

NTSTATUS AnswerFilterCall(ULONG code, void* buffer, ULONG outputLength, ULONG_PTR* information)
{
    NTSTATUS status;
    if (code == IOCTL_WRITE_FILTER_QUERY) {
        ++state.queryCalls;
        status = (state.faults & WRITE_FILTER_FAULT_QUERY) ? STATUS_UNSUCCESSFUL : STATUS_SUCCESS;
    } else if (code == IOCTL_WRITE_FILTER_FLUSH) {
        ++state.flushCalls;
        status = outputLength < sizeof(WriteFilterStatus) ? STATUS_BUFFER_TOO_SMALL : Flush();
    } else {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    if (!NT_SUCCESS(status))
        return status;
    if (outputLength < sizeof(WriteFilterStatus))
        return STATUS_BUFFER_TOO_SMALL;
    RtlCopyMemory(buffer, &state.status, sizeof(WriteFilterStatus));
    *information = sizeof(WriteFilterStatus);
    return STATUS_SUCCESS;
}

static NTSTATUS SetState(const WriteFilterTestState* wanted)
{
    if (wanted->flushDelayMs > WRITE_FILTER_MAX_FLUSH_DELAY_MS)
        return STATUS_INVALID_PARAMETER;
    NTSTATUS status = ShowNamedDevice(device, (wanted->faults & WRITE_FILTER_FAULT_HIDDEN) == 0);
    if (!NT_SUCCESS(status))
        return status;
    state = *wanted;
    state.queryCalls = 0;
    state.flushCalls = 0;
    return STATUS_SUCCESS;
}

NTSTATUS AnswerFilterTestCall(ULONG code, void* buffer, ULONG inputLength, ULONG outputLength,
                              ULONG_PTR* information)
{
    if (code == IOCTL_WRITE_FILTER_TEST_SET) {
        if (inputLength != sizeof(WriteFilterTestState))
            return STATUS_INFO_LENGTH_MISMATCH;
        WriteFilterTestState wanted;
        RtlCopyMemory(&wanted, buffer, sizeof(wanted));
        return SetState(&wanted);
    }
    if (code == IOCTL_WRITE_FILTER_TEST_GET) {
        if (outputLength < sizeof(WriteFilterTestState))
            return STATUS_BUFFER_TOO_SMALL;
        RtlCopyMemory(buffer, &state, sizeof(state));
        *information = sizeof(state);
        return STATUS_SUCCESS;
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}
