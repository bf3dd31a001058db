#include "HostFile.h"

NTSTATUS OpenHostFile(PCWSTR path, ACCESS_MASK access, ULONG disposition, ULONG shareAccess,
                      ULONG options, HANDLE* file)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                               NULL, NULL);
    return ZwCreateFile(file, access | SYNCHRONIZE, &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL,
                        shareAccess, disposition,
                        options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0);
}

NTSTATUS AppendToHostFile(PCWSTR path, const void* data, ULONG length)
{
    HANDLE file;
    NTSTATUS status = OpenHostFile(path, FILE_APPEND_DATA, FILE_OPEN_IF, FILE_SHARE_READ, 0, &file);
    if (!NT_SUCCESS(status))
        return status;
    IO_STATUS_BLOCK io;
    status = ZwWriteFile(file, NULL, NULL, NULL, &io, (PVOID)data, length, NULL, NULL);
    if (NT_SUCCESS(status) && io.Information != length)
        status = STATUS_DISK_FULL;
    ZwClose(file);
    return status;
}

NTSTATUS DeleteHostFile(PCWSTR path)
{
    HANDLE file;
    NTSTATUS status = OpenHostFile(path, DELETE, FILE_OPEN, 0, FILE_DELETE_ON_CLOSE, &file);
    if (NT_SUCCESS(status))
        ZwClose(file);
    return status;
}
