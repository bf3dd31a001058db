// One value of a key as a line of the registry script.
#pragma once

#include <windows.h>

#include "ScriptWriter.h"

// Writes the value's line and returns true, or writes nothing and returns
// false when no line would import back as the same value (a type the script
// does not carry, characters it cannot hold).
bool WriteValueLine(ScriptWriter& out, const wchar_t* name, size_t nameLength, DWORD type,
                    const BYTE* data, DWORD size);
