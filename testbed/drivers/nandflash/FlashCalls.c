#include "FlashCalls.h"

#include "FlashCallLog.h"
#include "FlashStore.h"
#include "Irp.h"

static FlashTestFaults faults;
static NamedDevice* device;

void InitFlashCalls(NamedDevice* flashDevice)
{
    device = flashDevice;
    RtlZeroMemory(&faults, sizeof(faults));
}

static uint32_t FaultBit(ULONG code)
{
    switch (code) {
    case IOCTL_FLASH_FILE_OPEN: return FLASH_CALL_OPEN;
    case IOCTL_FLASH_FILE_CLOSE: return FLASH_CALL_CLOSE;
    case IOCTL_FLASH_FILE_DELETE: return FLASH_CALL_DELETE;
    case IOCTL_FLASH_FILE_READ: return FLASH_CALL_READ;
    case IOCTL_FLASH_FILE_WRITE: return FLASH_CALL_WRITE;
    case IOCTL_FLASH_FILE_INFO: return FLASH_CALL_INFO;
    default: return 0;
    }
}

static ULONG Shortened(ULONG count)
{
    return count > faults.shortCountBy ? count - faults.shortCountBy : 0;
}

/* Read and write move the request's length through the call's own output
   buffer, which must be exactly that long. */
static NTSTATUS Transfer(PIRP irp, ULONG code, const FlashFileRequest* request, ULONG outputLength,
                         ULONG* done)
{
    if (request->length != outputLength)
        return STATUS_INVALID_PARAMETER;
    void* data = DirectBuffer(irp, outputLength);
    if (data == NULL && outputLength != 0)
        return STATUS_INVALID_USER_BUFFER;
    return code == IOCTL_FLASH_FILE_READ ? ReadFlashFile(request->handle, data, outputLength, done)
                                         : WriteFlashFile(request->handle, data, outputLength, done);
}

static NTSTATUS Perform(PIRP irp, ULONG code, ULONG inputLength, ULONG outputLength,
                        FlashCall* call, ULONG_PTR* information)
{
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    if (code == IOCTL_FLASH_FILE_CLOSE) {
        if (inputLength != sizeof(uint32_t))
            return STATUS_INFO_LENGTH_MISMATCH;
        RtlCopyMemory(&call->handle, buffer, sizeof(uint32_t));
        return CloseFlashFile(call->handle);
    }

    /* Every other call carries a request; a buffered answer overwrites it,
       so it is read first. */
    if (inputLength != sizeof(FlashFileRequest))
        return STATUS_INFO_LENGTH_MISMATCH;
    FlashFileRequest request;
    RtlCopyMemory(&request, buffer, sizeof(request));
    call->requestLength = request.length;
    call->handle = request.handle;
    if (request.header != FLASH_REQUEST_HEADER)
        return STATUS_INVALID_PARAMETER;

    NTSTATUS status;
    switch (code) {
    case IOCTL_FLASH_FILE_OPEN: {
        if (outputLength < sizeof(uint32_t))
            return STATUS_BUFFER_TOO_SMALL;
        uint32_t handle;
        status = OpenFlashFile(&request, &handle);
        if (NT_SUCCESS(status)) {
            call->handle = handle;
            RtlCopyMemory(buffer, &handle, sizeof(handle));
            *information = Shortened(sizeof(handle));
        }
        return status;
    }
    case IOCTL_FLASH_FILE_DELETE:
        return DeleteFlashFile(&request);
    case IOCTL_FLASH_FILE_READ:
    case IOCTL_FLASH_FILE_WRITE: {
        ULONG done = 0;
        status = Transfer(irp, code, &request, outputLength, &done);
        *information = Shortened(done);
        return status;
    }
    case IOCTL_FLASH_FILE_INFO: {
        if (outputLength < sizeof(FlashFileInfo))
            return STATUS_BUFFER_TOO_SMALL;
        FlashFileInfo info;
        status = DescribeFlashFile(request.handle, &info);
        if (NT_SUCCESS(status)) {
            if (faults.sizeHigh != 0)
                info.sizeHigh = faults.sizeHigh;
            RtlCopyMemory(buffer, &info, sizeof(info));
            *information = Shortened(sizeof(info));
        }
        return status;
    }
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

NTSTATUS AnswerFlashCall(PIRP irp, PIO_STACK_LOCATION stack, ULONG_PTR* information)
{
    FlashCall call;
    RtlZeroMemory(&call, sizeof(call));
    call.code = stack->Parameters.DeviceIoControl.IoControlCode;
    call.inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    call.outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;

    uint32_t bit = FaultBit(call.code);
    NTSTATUS status;
    if (bit == 0)
        status = STATUS_INVALID_DEVICE_REQUEST;
    else if (faults.failingCalls & bit)
        status = STATUS_UNSUCCESSFUL;
    else
        status = Perform(irp, call.code, call.inputLength, call.outputLength, &call, information);
    if (!NT_SUCCESS(status))
        *information = 0;
    call.status = status;
    call.information = (uint32_t)*information;
    LogFlashCall(&call);
    return status;
}

NTSTATUS AnswerFlashTestCall(PIRP irp, PIO_STACK_LOCATION stack, ULONG_PTR* information)
{
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    if (code == IOCTL_FLASH_TEST_SET_FAULTS) {
        if (inputLength != sizeof(FlashTestFaults))
            return STATUS_INFO_LENGTH_MISMATCH;
        FlashTestFaults wanted;
        RtlCopyMemory(&wanted, buffer, sizeof(wanted));
        NTSTATUS status = ShowNamedDevice(device, wanted.hidden == 0);
        if (NT_SUCCESS(status))
            faults = wanted;
        return status;
    }
    if (code == IOCTL_FLASH_TEST_TAKE_LOG) {
        if (outputLength < sizeof(FlashCallLog))
            return STATUS_BUFFER_TOO_SMALL;
        /* Too big for the driver host's stack to hold twice; the answer is
           built where it goes. */
        TakeFlashCallLog((FlashCallLog*)buffer);
        *information = sizeof(FlashCallLog);
        return STATUS_SUCCESS;
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}
