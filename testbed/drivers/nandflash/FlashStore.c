#include "FlashStore.h"

#include "FlashName.h"
#include "HostFile.h"

/* Handles start well away from 0 so that a request whose handle field was
   never filled in does not name an open file. */
#define FIRST_HANDLE 0x4C0u
#define MAX_OPEN_FILES 16u

/* The driver host hands this driver one request at a time, so the table
   needs no lock. */
static HANDLE openFiles[MAX_OPEN_FILES];

static HANDLE* Slot(uint32_t handle)
{
    if (handle < FIRST_HANDLE || handle - FIRST_HANDLE >= MAX_OPEN_FILES)
        return NULL;
    HANDLE* slot = &openFiles[handle - FIRST_HANDLE];
    return *slot != NULL ? slot : NULL;
}

NTSTATUS OpenFlashFile(const FlashFileRequest* request, uint32_t* handle)
{
    WCHAR path[FLASH_STORE_PATH_SIZE];
    NTSTATUS status = FlashStorePath(request->name, path);
    if (!NT_SUCCESS(status))
        return status;
    uint32_t free = 0;
    while (free < MAX_OPEN_FILES && openFiles[free] != NULL)
        ++free;
    if (free == MAX_OPEN_FILES)
        return STATUS_TOO_MANY_OPENED_FILES;
    /* Opening for writing starts the file afresh: a writer replaces the
       whole file. */
    BOOLEAN writing = (request->openFlags & FLASH_OPEN_FOR_WRITING) != 0;
    status = writing ? OpenHostFile(path, GENERIC_READ | GENERIC_WRITE, FILE_OVERWRITE_IF, 0, 0,
                                    &openFiles[free])
                     : OpenHostFile(path, GENERIC_READ, FILE_OPEN, 0, 0, &openFiles[free]);
    if (!NT_SUCCESS(status)) {
        openFiles[free] = NULL;
        return status;
    }
    *handle = FIRST_HANDLE + free;
    return STATUS_SUCCESS;
}

NTSTATUS CloseFlashFile(uint32_t handle)
{
    HANDLE* slot = Slot(handle);
    if (slot == NULL)
        return STATUS_INVALID_HANDLE;
    ZwClose(*slot);
    *slot = NULL;
    return STATUS_SUCCESS;
}

void CloseAllFlashFiles(void)
{
    for (uint32_t i = 0; i < MAX_OPEN_FILES; ++i)
        CloseFlashFile(FIRST_HANDLE + i);
}

NTSTATUS DeleteFlashFile(const FlashFileRequest* request)
{
    WCHAR path[FLASH_STORE_PATH_SIZE];
    NTSTATUS status = FlashStorePath(request->name, path);
    return NT_SUCCESS(status) ? DeleteHostFile(path) : status;
}

NTSTATUS ReadFlashFile(uint32_t handle, void* data, ULONG length, ULONG* done)
{
    HANDLE* slot = Slot(handle);
    if (slot == NULL)
        return STATUS_INVALID_HANDLE;
    *done = 0;
    if (length == 0)
        return STATUS_SUCCESS;
    IO_STATUS_BLOCK io;
    NTSTATUS status = ZwReadFile(*slot, NULL, NULL, NULL, &io, data, length, NULL, NULL);
    if (status == STATUS_END_OF_FILE)
        return STATUS_SUCCESS;
    if (NT_SUCCESS(status))
        *done = (ULONG)io.Information;
    return status;
}

NTSTATUS WriteFlashFile(uint32_t handle, const void* data, ULONG length, ULONG* done)
{
    HANDLE* slot = Slot(handle);
    if (slot == NULL)
        return STATUS_INVALID_HANDLE;
    *done = 0;
    if (length == 0)
        return STATUS_SUCCESS;
    IO_STATUS_BLOCK io;
    NTSTATUS status = ZwWriteFile(*slot, NULL, NULL, NULL, &io, (PVOID)data, length, NULL, NULL);
    if (NT_SUCCESS(status))
        *done = (ULONG)io.Information;
    return status;
}

static FlashFileTime ToFlashTime(LARGE_INTEGER time)
{
    FlashFileTime flashTime = { time.LowPart, (uint32_t)time.HighPart };
    return flashTime;
}

NTSTATUS DescribeFlashFile(uint32_t handle, FlashFileInfo* info)
{
    HANDLE* slot = Slot(handle);
    if (slot == NULL)
        return STATUS_INVALID_HANDLE;
    IO_STATUS_BLOCK io;
    FILE_BASIC_INFORMATION basic;
    NTSTATUS status = ZwQueryInformationFile(*slot, &io, &basic, sizeof(basic), FileBasicInformation);
    if (!NT_SUCCESS(status))
        return status;
    FILE_STANDARD_INFORMATION standard;
    status = ZwQueryInformationFile(*slot, &io, &standard, sizeof(standard), FileStandardInformation);
    if (!NT_SUCCESS(status))
        return status;
    RtlZeroMemory(info, sizeof(*info));
    info->creationTime = ToFlashTime(basic.CreationTime);
    info->attributes = basic.FileAttributes;
    info->lastAccessTime = ToFlashTime(basic.LastAccessTime);
    info->lastWriteTime = ToFlashTime(basic.LastWriteTime);
    info->sizeHigh = (uint32_t)standard.EndOfFile.HighPart;
    info->sizeLow = standard.EndOfFile.LowPart;
    info->numberOfLinks = standard.NumberOfLinks;
    info->fileIndexLow = handle;
    return STATUS_SUCCESS;
}
