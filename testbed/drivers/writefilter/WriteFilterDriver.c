/* Substitute for the terminal's flash memory write filter driver: the
   filter's device, which programs query and flush, and a device beside it
   through which tests set what the filter reports. */
#include <ntddk.h>

#include "FilterState.h"
#include "Irp.h"
#include "NamedDevice.h"

static NamedDevice filterDevice;
static NamedDevice testDevice;

static NTSTATUS NTAPI Dispatch(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    BOOLEAN isFilter = device == filterDevice.device;
    ULONG_PTR information = 0;
    NTSTATUS status;
    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_CLOSE:
        status = STATUS_SUCCESS;
        break;
    case IRP_MJ_DEVICE_CONTROL: {
        ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
        ULONG inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
        ULONG outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
        void* buffer = irp->AssociatedIrp.SystemBuffer;
        status = isFilter ? AnswerFilterCall(code, buffer, outputLength, &information)
                          : AnswerFilterTestCall(code, buffer, inputLength, outputLength, &information);
        break;
    }
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    return CompleteIrp(irp, status, information);
}

static void NTAPI Unload(PDRIVER_OBJECT driver)
{
    (void)driver;
    DeleteNamedDevice(&testDevice);
    DeleteNamedDevice(&filterDevice);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    (void)registryPath;
    NTSTATUS status = CreateNamedDevice(driver, L"\\Device\\OBRWriteFilter",
                                        L"\\DosDevices\\OBRWriteFilter", &filterDevice);
    if (!NT_SUCCESS(status))
        return status;
    status = CreateNamedDevice(driver, L"\\Device\\OBRWriteFilterTest",
                               L"\\DosDevices\\OBRWriteFilterTest", &testDevice);
    if (!NT_SUCCESS(status)) {
        DeleteNamedDevice(&filterDevice);
        return status;
    }
    InitFilterState(&filterDevice);
    for (int i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = Dispatch;
    driver->DriverUnload = Unload;
    return STATUS_SUCCESS;
}
