#include "StavixModes.h"

bool IsSaveCommandLine(const wchar_t* commandLine)
{
    while (*commandLine != L'\0' && *commandLine <= L' ')
        ++commandLine;
    return commandLine[0] == L'/' && (commandLine[1] == L's' || commandLine[1] == L'S') &&
           commandLine[2] == L'\0';
}
