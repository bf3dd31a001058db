#include "Irp.h"

NTSTATUS CompleteIrp(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

void* DirectBuffer(PIRP irp, ULONG length)
{
    if (length == 0 || irp->MdlAddress == NULL || MmGetMdlByteCount(irp->MdlAddress) < length)
        return NULL;
    return MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority);
}

void WaitMilliseconds(ULONG milliseconds)
{
    LARGE_INTEGER interval;
    interval.QuadPart = -(LONGLONG)milliseconds * 10000;
    KeDelayExecutionThread(KernelMode, FALSE, &interval);
}
