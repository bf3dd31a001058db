/* Flash file names and where the store keeps each file. */
#pragma once

#include <ntddk.h>

#include "FlashTestControl.h"

#define FLASH_STORE_PATH_SIZE (sizeof(FLASH_STORE_FOLDER) / sizeof(WCHAR) + FLASH_NAME_SIZE)

/* The store's path of a flash file name (a request's name field). Fails for
   a name without its NUL, an empty one, or one that could name anything but
   a plain file inside the store. */
NTSTATUS FlashStorePath(const char name[FLASH_NAME_SIZE], WCHAR path[FLASH_STORE_PATH_SIZE]);
