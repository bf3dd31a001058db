/* A device with a name that programs open as \\.\NAME. Its name can be
   taken away and given back while the device lives, which is how tests
   make a driver's device go missing without unloading the driver. */
#pragma once

#include <ntddk.h>

typedef struct NamedDevice
{
    PDEVICE_OBJECT device;
    UNICODE_STRING deviceName;
    UNICODE_STRING linkName;
    BOOLEAN visible;
} NamedDevice;

/* deviceName and linkName must outlive the device (string literals). */
NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, PCWSTR deviceName, PCWSTR linkName,
                           NamedDevice* named);
NTSTATUS ShowNamedDevice(NamedDevice* named, BOOLEAN visible);
void DeleteNamedDevice(NamedDevice* named);
