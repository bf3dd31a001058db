// Text for standard output, which a GUI program has only when it was redirected.
#pragma once

#include <windows.h>

// Writes the bytes to standard output; nothing when there is none.
void WriteToStandardOutput(LPCSTR text, DWORD length);
