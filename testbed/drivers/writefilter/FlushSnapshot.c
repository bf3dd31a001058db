#include <ntifs.h>

#include "FlushSnapshot.h"
#include "HostFile.h"
#include "Irp.h"

#define PENDING_FOLDER L"\\??\\T:\\flush-pending\\"
#define WATCHER_REQUEST L"\\??\\T:\\flush-pending.request"
#define WATCHER_TIMEOUT_MS 30000u
#define WATCHER_POLL_MS 10u

/* The driver host's token: saving a registry branch needs the backup
   privilege enabled, and the current user's branch is named by its SID. */
static NTSTATUS OpenHostToken(HANDLE* token)
{
    NTSTATUS status = ZwOpenProcessTokenEx(NtCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                           OBJ_KERNEL_HANDLE, token);
    if (!NT_SUCCESS(status))
        return status;
    TOKEN_PRIVILEGES backup;
    backup.PrivilegeCount = 1;
    backup.Privileges[0].Luid.LowPart = SE_BACKUP_PRIVILEGE;
    backup.Privileges[0].Luid.HighPart = 0;
    backup.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    status = ZwAdjustPrivilegesToken(*token, FALSE, &backup, 0, NULL, NULL);
    if (!NT_SUCCESS(status))
        ZwClose(*token);
    return status;
}

static NTSTATUS SaveBranch(PCUNICODE_STRING keyPath, PCWSTR filePath)
{
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, (PUNICODE_STRING)keyPath,
                               OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    HANDLE key, file;
    NTSTATUS status = ZwOpenKey(&key, KEY_READ, &attributes);
    if (!NT_SUCCESS(status))
        return status;
    status = OpenHostFile(filePath, GENERIC_WRITE, FILE_OVERWRITE_IF, 0, 0, &file);
    if (NT_SUCCESS(status)) {
        status = ZwSaveKey(key, file);
        ZwClose(file);
    }
    ZwClose(key);
    return status;
}

static NTSTATUS SaveNamedBranch(PCWSTR keyPath, PCWSTR filePath)
{
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, keyPath);
    return SaveBranch(&name, filePath);
}

/* \Registry\User\SID of the user the terminal's programs run as. */
static NTSTATUS SaveUserBranch(HANDLE token)
{
    union {
        TOKEN_USER user;
        UCHAR bytes[128];
    } owner;
    ULONG length;
    NTSTATUS status = ZwQueryInformationToken(token, TokenUser, &owner, sizeof(owner), &length);
    if (!NT_SUCCESS(status))
        return status;
    static const WCHAR users[] = L"\\Registry\\User\\";
    WCHAR text[128];
    RtlCopyMemory(text, users, sizeof(users));
    UNICODE_STRING path = { sizeof(users) - sizeof(WCHAR), sizeof(text), text };
    UNICODE_STRING sid;
    status = RtlConvertSidToUnicodeString(&sid, owner.user.User.Sid, TRUE);
    if (!NT_SUCCESS(status))
        return status;
    status = RtlAppendUnicodeStringToString(&path, &sid);
    RtlFreeUnicodeString(&sid);
    return NT_SUCCESS(status) ? SaveBranch(&path, PENDING_FOLDER L"user.reg") : status;
}

/* The watcher takes the request away once the snapshot is whole. */
static NTSTATUS AwaitWatcher(void)
{
    HANDLE file;
    NTSTATUS status = OpenHostFile(WATCHER_REQUEST, GENERIC_WRITE, FILE_OVERWRITE_IF, 0, 0, &file);
    if (!NT_SUCCESS(status))
        return status;
    ZwClose(file);
    for (ULONG waited = 0; waited < WATCHER_TIMEOUT_MS; waited += WATCHER_POLL_MS) {
        WaitMilliseconds(WATCHER_POLL_MS);
        status = OpenHostFile(WATCHER_REQUEST, FILE_READ_ATTRIBUTES, FILE_OPEN,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0, &file);
        if (status == STATUS_OBJECT_NAME_NOT_FOUND)
            return STATUS_SUCCESS;
        if (NT_SUCCESS(status))
            ZwClose(file);
    }
    DeleteHostFile(WATCHER_REQUEST);
    return STATUS_IO_TIMEOUT;
}

NTSTATUS TakeFlushSnapshot(void)
{
    HANDLE token;
    NTSTATUS status = OpenHostToken(&token);
    if (!NT_SUCCESS(status))
        return status;
    status = SaveNamedBranch(L"\\Registry\\Machine", PENDING_FOLDER L"system.reg");
    if (NT_SUCCESS(status))
        status = SaveNamedBranch(L"\\Registry\\User\\.Default", PENDING_FOLDER L"userdef.reg");
    if (NT_SUCCESS(status))
        status = SaveUserBranch(token);
    ZwClose(token);
    return NT_SUCCESS(status) ? AwaitWatcher() : status;
}
