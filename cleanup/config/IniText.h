// A single value of an INI file, read through the platform.
#pragma once

#include <windows.h>

// The value of key in section of file into a 260-byte buffer, empty when the
// file, section or key is missing. The platform trims it and removes one pair
// of enclosing quotes. A value longer than 259 characters is refused: false,
// and the buffer is empty.
bool ReadIniString(const char* pszSection, const char* pszKey, char (&szValue)[MAX_PATH],
                   const char* pszFile);
