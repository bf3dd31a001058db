#include "NamedDevice.h"

NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, PCWSTR deviceName, PCWSTR linkName,
                           NamedDevice* named)
{
    RtlInitUnicodeString(&named->deviceName, deviceName);
    RtlInitUnicodeString(&named->linkName, linkName);
    named->visible = FALSE;
    NTSTATUS status = IoCreateDevice(driver, 0, &named->deviceName, FILE_DEVICE_DISK, 0, FALSE,
                                     &named->device);
    if (!NT_SUCCESS(status)) {
        named->device = NULL;
        return status;
    }
    named->device->Flags |= DO_BUFFERED_IO;
    status = ShowNamedDevice(named, TRUE);
    if (!NT_SUCCESS(status))
        DeleteNamedDevice(named);
    return status;
}

NTSTATUS ShowNamedDevice(NamedDevice* named, BOOLEAN visible)
{
    if (visible == named->visible)
        return STATUS_SUCCESS;
    NTSTATUS status = visible ? IoCreateSymbolicLink(&named->linkName, &named->deviceName)
                              : IoDeleteSymbolicLink(&named->linkName);
    if (NT_SUCCESS(status))
        named->visible = visible;
    return status;
}

void DeleteNamedDevice(NamedDevice* named)
{
    if (named->device == NULL)
        return;
    ShowNamedDevice(named, FALSE);
    IoDeleteDevice(named->device);
    named->device = NULL;
}
