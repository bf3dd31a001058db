/* The flash store: flash files as host files, and the handles the driver
   gives out for the ones that are open. */
#pragma once

#include <ntddk.h>

#include "FlashTestControl.h"

NTSTATUS OpenFlashFile(const FlashFileRequest* request, uint32_t* handle);
NTSTATUS CloseFlashFile(uint32_t handle);
void CloseAllFlashFiles(void);
NTSTATUS DeleteFlashFile(const FlashFileRequest* request);
/* Move up to length bytes at the file's current position; done says how
   many moved. */
NTSTATUS ReadFlashFile(uint32_t handle, void* data, ULONG length, ULONG* done);
NTSTATUS WriteFlashFile(uint32_t handle, const void* data, ULONG length, ULONG* done);
NTSTATUS DescribeFlashFile(uint32_t handle, FlashFileInfo* info);
