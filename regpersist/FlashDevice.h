// What the flash transfers share: the request block and the device calls.
#pragma once

#include <windows.h>

#include "FlashFileProtocol.h"

// A request for the named file, every other field 0; false when the name
// does not fit the request in the ANSI code page with its NUL.
bool FillFlashRequest(FlashFileRequest* request, const wchar_t* name, uint32_t openFlags,
                      uint32_t access);

// One device call that must succeed and report exactly `required` bytes.
bool FlashCall(HANDLE device, DWORD code, void* input, DWORD inputLength, void* output,
               DWORD outputLength, DWORD required);

// Opens the request's file; its handle lands in the request.
bool OpenFlashFile(HANDLE device, FlashFileRequest* request);
// Sent after every open call that succeeded, whatever followed it.
void CloseFlashFile(HANDLE device, FlashFileRequest* request);
