/* Substitute for the terminal's NAND flash driver: the flash device with
   its small file interface over a store folder of the terminal's host, and
   a device beside it through which tests inject faults and read back the
   calls. */
#include <ntddk.h>

#include "FlashCalls.h"
#include "FlashStore.h"
#include "Irp.h"
#include "NamedDevice.h"

static NamedDevice flashDevice;
static NamedDevice testDevice;

static NTSTATUS NTAPI Dispatch(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG_PTR information = 0;
    NTSTATUS status;
    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_CLOSE:
        status = STATUS_SUCCESS;
        break;
    case IRP_MJ_DEVICE_CONTROL:
        status = device == flashDevice.device ? AnswerFlashCall(irp, stack, &information)
                                              : AnswerFlashTestCall(irp, stack, &information);
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    return CompleteIrp(irp, status, information);
}

static void NTAPI Unload(PDRIVER_OBJECT driver)
{
    (void)driver;
    CloseAllFlashFiles();
    DeleteNamedDevice(&testDevice);
    DeleteNamedDevice(&flashDevice);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    (void)registryPath;
    NTSTATUS status = CreateNamedDevice(driver, L"\\Device\\GLORN", L"\\DosDevices\\GLORN",
                                        &flashDevice);
    if (!NT_SUCCESS(status))
        return status;
    status = CreateNamedDevice(driver, L"\\Device\\GLORNTest", L"\\DosDevices\\GLORNTest",
                               &testDevice);
    if (!NT_SUCCESS(status)) {
        DeleteNamedDevice(&flashDevice);
        return status;
    }
    InitFlashCalls(&flashDevice);
    for (int i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = Dispatch;
    driver->DriverUnload = Unload;
    return STATUS_SUCCESS;
}
