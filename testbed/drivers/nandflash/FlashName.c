#include "FlashName.h"

static BOOLEAN AllowedInName(char c)
{
    if (c < 0x20 || c > 0x7E)
        return FALSE;
    for (const char* bad = "\\/:*?\"<>|"; *bad != '\0'; ++bad) {
        if (c == *bad)
            return FALSE;
    }
    return TRUE;
}

NTSTATUS FlashStorePath(const char name[FLASH_NAME_SIZE], WCHAR path[FLASH_STORE_PATH_SIZE])
{
    size_t length = 0;
    while (length < FLASH_NAME_SIZE && name[length] != '\0') {
        if (!AllowedInName(name[length]))
            return STATUS_OBJECT_NAME_INVALID;
        ++length;
    }
    if (length == 0 || length == FLASH_NAME_SIZE)
        return STATUS_OBJECT_NAME_INVALID;
    /* The file system drops trailing dots and spaces, which would let "." and
       ".." reach the folder itself. */
    if (name[length - 1] == '.' || name[length - 1] == ' ')
        return STATUS_OBJECT_NAME_INVALID;

    size_t folderLength = sizeof(FLASH_STORE_FOLDER) / sizeof(WCHAR) - 1;
    RtlCopyMemory(path, FLASH_STORE_FOLDER, folderLength * sizeof(WCHAR));
    for (size_t i = 0; i < length; ++i)
        path[folderLength + i] = (WCHAR)name[i];
    path[folderLength + length] = L'\0';
    return STATUS_SUCCESS;
}
