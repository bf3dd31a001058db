#include "FlashCommit.h"
#include "FlashDevice.h"

#include <string.h>

#include "ScopedHandle.h"

bool FillFlashRequest(FlashFileRequest* request, const wchar_t* name, uint32_t openFlags,
                      uint32_t access)
{
    memset(request, 0, sizeof(*request));
    request->header = FLASH_REQUEST_HEADER;
    request->openFlags = openFlags;
    request->access = access;
    if (WideCharToMultiByte(CP_ACP, 0, name, -1, request->name, FLASH_NAME_SIZE, NULL, NULL) == 0) {
        // The conversion may have filled part of the field before it gave up.
        memset(request->name, 0, sizeof(request->name));
        return false;
    }
    return true;
}

bool FlashCall(HANDLE device, DWORD code, void* input, DWORD inputLength, void* output,
               DWORD outputLength, DWORD required)
{
    DWORD returned = 0;
    return DeviceIoControl(device, code, input, inputLength, output, outputLength, &returned,
                           NULL) &&
           returned == required;
}

bool OpenFlashFile(HANDLE device, FlashFileRequest* request)
{
    return FlashCall(device, IOCTL_FLASH_FILE_OPEN, request, sizeof(*request), &request->handle,
                     sizeof(request->handle), sizeof(request->handle));
}

void CloseFlashFile(HANDLE device, FlashFileRequest* request)
{
    DWORD returned;
    DeviceIoControl(device, IOCTL_FLASH_FILE_CLOSE, &request->handle, sizeof(request->handle), NULL,
                    0, &returned, NULL);
}

HANDLE OpenFlashDevice()
{
    HANDLE device = CreateFileW(FLASH_DEVICE_PATH, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (device == INVALID_HANDLE_VALUE)
        device = CreateFileW(FLASH_VOLUME_PATH, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
    return device;
}

int DeleteFlashFile(const wchar_t* name)
{
    FlashFileRequest request;
    if (!FillFlashRequest(&request, name, 0, 0))
        return FLASH_FILE_FAILED;
    ScopedHandle device(OpenFlashDevice());
    if (!device.IsValid())
        return FLASH_DEVICE_FAILED;
    DWORD returned;
    if (!DeviceIoControl(device.Get(), IOCTL_FLASH_FILE_DELETE, &request, sizeof(request), NULL, 0,
                         &returned, NULL))
        return FLASH_DEVICE_FAILED;
    return FLASH_DONE;
}
