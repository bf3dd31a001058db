#include "StavixModes.h"

namespace {

const wchar_t* PastBlanks(const wchar_t* text)
{
    while (*text != L'\0' && *text <= L' ')
        ++text;
    return text;
}

} // namespace

bool IsSaveCommandLine(const wchar_t* commandLine)
{
    commandLine = PastBlanks(commandLine);
    // Trailing blanks too: a logoff script's "Stavix.exe /s " would otherwise
    // run a restore, importing the last script over the live values.
    return commandLine[0] == L'/' && (commandLine[1] == L's' || commandLine[1] == L'S') &&
           *PastBlanks(commandLine + 2) == L'\0';
}
