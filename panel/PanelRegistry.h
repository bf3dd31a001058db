// The registry values the panel reads and writes: its own "init" and
// "initTime", and the "Start" value of the write filter driver's service.
#pragma once

#include <windows.h>

extern const wchar_t kPanelKey[];
extern const wchar_t kDriverServiceKey[];

// The low 16 bits of a REG_DWORD or REG_BINARY value of at most 4 bytes;
// false when the key or the value cannot be read or is of another type.
bool ReadLowWord(LPCWSTR keyPath, LPCWSTR valueName, WORD* value);

// The driver is set not to start ("Start" is SERVICE_DISABLED). A missing
// or unreadable value is not.
bool DriverStartDisabled();

// Creates the panel's key when needed; false when nothing was written.
bool WriteShowNotice(bool show);

// Sets the driver to start at boot; false when the key cannot be opened or
// the value not written.
bool WriteDriverBootStart();
