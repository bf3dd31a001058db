// Files stored straight on NAND flash through the flash device's small file
// interface, past the write filter, and fetched back after a restart.
#pragma once

#include <windows.h>

#include "FlashFileProtocol.h"

// Results of the transfers.
enum FlashResult
{
    FLASH_DONE = 0,
    FLASH_LOCAL_FILE_FAILED = 6,  // the local file did not open or could not be created
    FLASH_DEVICE_FAILED = 16,     // the device did not open, or a call failed or moved
                                  // another number of bytes than required
    FLASH_FILE_FAILED = 99        // the name does not fit, a size of 4 GiB or more, or a
                                  // local read or write failed or came up short
};

// Files move in chunks of at most this many bytes.
#define FLASH_CHUNK_SIZE 1024

// The flash device ("\\.\GLORN", else the volume "\\.\C:"), or
// INVALID_HANDLE_VALUE.
HANDLE OpenFlashDevice();
int DeleteFlashFile(const wchar_t* name);
// On failure the flash file is deleted, so that no part of it stays.
int CopyFileToFlash(const wchar_t* localPath, const wchar_t* flashName);
int CopyFileFromFlash(const wchar_t* flashName, const wchar_t* localPath);
