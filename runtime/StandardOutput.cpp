#include "StandardOutput.h"

void WriteToStandardOutput(LPCSTR text, DWORD length)
{
    // A GUI program's standard output reaches nothing unless it was redirected.
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == NULL || output == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(output, text, length, &written, NULL);
}
