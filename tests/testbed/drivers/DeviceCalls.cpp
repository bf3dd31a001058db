#include "DeviceCalls.h"

#include <string.h>

#include <algorithm>

HANDLE OpenDeviceForTest(const wchar_t* path)
{
    return CreateFileW(path, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
}

bool Control(HANDLE device, DWORD code, const void* input, DWORD inputLength, void* output,
             DWORD outputLength, DWORD* returned)
{
    *returned = 0;
    return DeviceIoControl(device, code, const_cast<void*>(input), inputLength, output,
                           outputLength, returned, NULL) != FALSE;
}

FlashFileRequest FlashRequest(const char* name, uint32_t openFlags)
{
    FlashFileRequest request = {};
    request.header = FLASH_REQUEST_HEADER;
    request.openFlags = openFlags;
    request.access = openFlags & FLASH_OPEN_FOR_WRITING ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    strncpy(request.name, name, sizeof(request.name) - 1);
    return request;
}

uint32_t OpenFlashFile(HANDLE flash, FlashFileRequest* request)
{
    DWORD returned;
    if (!Control(flash, IOCTL_FLASH_FILE_OPEN, request, sizeof(*request), &request->handle,
                 sizeof(request->handle), &returned) || returned != sizeof(request->handle))
        return 0;
    return request->handle;
}

void CloseFlashFile(HANDLE flash, uint32_t handle)
{
    DWORD returned;
    Control(flash, IOCTL_FLASH_FILE_CLOSE, &handle, sizeof(handle), NULL, 0, &returned);
}

bool WriteFlashFile(HANDLE flash, const char* name, const std::string& content)
{
    FlashFileRequest request = FlashRequest(name, FLASH_OPEN_FOR_WRITING);
    if (OpenFlashFile(flash, &request) == 0)
        return false;
    bool written = true;
    for (size_t done = 0; written && done < content.size(); done += request.length) {
        char chunk[1024];
        request.length = (uint32_t)std::min<size_t>(sizeof(chunk), content.size() - done);
        memcpy(chunk, content.data() + done, request.length);
        DWORD returned;
        written = Control(flash, IOCTL_FLASH_FILE_WRITE, &request, sizeof(request), chunk,
                          request.length, &returned) && returned == request.length;
    }
    CloseFlashFile(flash, request.handle);
    return written;
}

bool ReadFlashFile(HANDLE flash, const char* name, std::string* content)
{
    FlashFileRequest request = FlashRequest(name, 0);
    if (OpenFlashFile(flash, &request) == 0)
        return false;
    content->clear();
    bool read = true;
    for (;;) {
        char chunk[1024];
        request.length = sizeof(chunk);
        DWORD returned;
        read = Control(flash, IOCTL_FLASH_FILE_READ, &request, sizeof(request), chunk,
                       request.length, &returned);
        if (!read || returned == 0)
            break;
        content->append(chunk, returned);
    }
    CloseFlashFile(flash, request.handle);
    return read;
}

std::wstring StoreFile(const char* name)
{
    std::wstring path = L"T:\\flash\\";
    for (const char* c = name; *c != '\0'; ++c)
        path += (wchar_t)*c;
    return path;
}
