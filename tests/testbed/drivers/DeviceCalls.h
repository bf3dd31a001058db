// Device calls as the tests of the substitute drivers make them.
#pragma once

#include <windows.h>

#include <string>

#include "FlashTestControl.h"
#include "ScopedHandle.h"

HANDLE OpenDeviceForTest(const wchar_t* path);

// DeviceIoControl; returned is set to what the call reported.
bool Control(HANDLE device, DWORD code, const void* input, DWORD inputLength, void* output,
             DWORD outputLength, DWORD* returned);

FlashFileRequest FlashRequest(const char* name, uint32_t openFlags);

// Opens a flash file; 0 when the open call failed.
uint32_t OpenFlashFile(HANDLE flash, FlashFileRequest* request);
void CloseFlashFile(HANDLE flash, uint32_t handle);
bool WriteFlashFile(HANDLE flash, const char* name, const std::string& content);
bool ReadFlashFile(HANDLE flash, const char* name, std::string* content);

// The store's host file of a flash file, as the terminal sees it.
std::wstring StoreFile(const char* name);
