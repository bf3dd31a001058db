#include "FlashCommit.h"
#include "FlashDevice.h"

#include "ScopedHandle.h"

namespace {

// The request's buffer field holds a 32-bit address; only this program reads
// it, as the driver moves the data through the call's own buffers.
void PointRequestAt(FlashFileRequest* request, BYTE* chunk, DWORD length)
{
    request->buffer = (uint32_t)(uintptr_t)chunk;
    request->length = length;
}

int SendFile(HANDLE device, FlashFileRequest* request, const wchar_t* localPath)
{
    ScopedHandle local(CreateFileW(localPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!local.IsValid())
        return FLASH_LOCAL_FILE_FAILED;
    DWORD sizeHigh;
    DWORD remaining = GetFileSize(local.Get(), &sizeHigh);
    if ((remaining == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || sizeHigh != 0)
        return FLASH_FILE_FAILED;

    OutputDebugStringW(L"Start writing to NAND Flash\n");
    BYTE chunk[FLASH_CHUNK_SIZE];
    while (remaining > 0) {
        DWORD wanted = remaining < FLASH_CHUNK_SIZE ? remaining : FLASH_CHUNK_SIZE, read;
        if (!ReadFile(local.Get(), chunk, wanted, &read, NULL))
            return FLASH_FILE_FAILED;
        // A file that ends before its size would be asked for more forever.
        if (read == 0)
            return FLASH_FILE_FAILED;
        PointRequestAt(request, chunk, read);
        if (!FlashCall(device, IOCTL_FLASH_FILE_WRITE, request, sizeof(*request), chunk, read, read))
            return FLASH_DEVICE_FAILED;
        remaining -= read;
    }
    OutputDebugStringW(L"Done writing whole file\n");
    return FLASH_DONE;
}

FILETIME FileTimeOf(const FlashFileTime& time)
{
    FILETIME fileTime = { time.low, time.high };
    return fileTime;
}

int ReceiveFile(HANDLE device, FlashFileRequest* request, const wchar_t* localPath)
{
    FlashFileInfo info;
    if (!FlashCall(device, IOCTL_FLASH_FILE_INFO, request, sizeof(*request), &info, sizeof(info),
                   sizeof(info)))
        return FLASH_DEVICE_FAILED;
    if (info.sizeHigh != 0)
        return FLASH_FILE_FAILED;
    ScopedHandle local(CreateFileW(localPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!local.IsValid())
        return FLASH_LOCAL_FILE_FAILED;

    BYTE chunk[FLASH_CHUNK_SIZE];
    for (DWORD remaining = info.sizeLow; remaining > 0;) {
        DWORD length = remaining < FLASH_CHUNK_SIZE ? remaining : FLASH_CHUNK_SIZE, written;
        PointRequestAt(request, chunk, length);
        if (!FlashCall(device, IOCTL_FLASH_FILE_READ, request, sizeof(*request), chunk, length,
                       length))
            return FLASH_DEVICE_FAILED;
        if (!WriteFile(local.Get(), chunk, length, &written, NULL) || written != length)
            return FLASH_FILE_FAILED;
        remaining -= length;
    }
    // Given once the data is in: a write after them would renew the last
    // write time on a file system that keeps it itself.
    FILETIME created = FileTimeOf(info.creationTime), accessed = FileTimeOf(info.lastAccessTime),
             lastWritten = FileTimeOf(info.lastWriteTime);
    SetFileTime(local.Get(), &created, &accessed, &lastWritten);
    return FLASH_DONE;
}

// One flash file opened for a transfer between it and a local file, and
// closed again whatever the transfer's result.
typedef int (*FlashTransfer)(HANDLE device, FlashFileRequest* request, const wchar_t* localPath);

int TransferFlashFile(const wchar_t* flashName, DWORD openFlags, DWORD access,
                      FlashTransfer transfer, const wchar_t* localPath)
{
    FlashFileRequest request;
    if (!FillFlashRequest(&request, flashName, openFlags, access))
        return FLASH_FILE_FAILED;
    ScopedHandle device(OpenFlashDevice());
    if (!device.IsValid())
        return FLASH_DEVICE_FAILED;
    if (!OpenFlashFile(device.Get(), &request))
        return FLASH_DEVICE_FAILED;
    int result = transfer(device.Get(), &request, localPath);
    CloseFlashFile(device.Get(), &request);
    return result;
}

} // namespace

int CopyFileToFlash(const wchar_t* localPath, const wchar_t* flashName)
{
    int result = TransferFlashFile(flashName, FLASH_OPEN_FOR_WRITING, GENERIC_READ | GENERIC_WRITE,
                                   SendFile, localPath);
    // Whatever part of the file reached flash goes: a cut script would
    // import cut values at the next restore, a cut record read as another
    // result.
    if (result != FLASH_DONE)
        DeleteFlashFile(flashName);
    return result;
}

int CopyFileFromFlash(const wchar_t* flashName, const wchar_t* localPath)
{
    return TransferFlashFile(flashName, 0, GENERIC_READ, ReceiveFile, localPath);
}
