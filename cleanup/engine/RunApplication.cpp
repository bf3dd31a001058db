#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "Preview.h"

// Where an unquoted program path ends: just after the first of these
// extensions that a blank, a tab or the end of the line follows.
static const char* EndOfProgram(const char* pszCommandLine)
{
    static const char* const EXTENSIONS[] = { ".EXE", ".COM", ".BAT", ".CMD" };
    for (const char* p = pszCommandLine; *p != '\0'; p = CharNextA(p)) {
        for (const char* pszExtension : EXTENSIONS) {
            const char* pAfter = SkipLeadingText(p, pszExtension);
            if (pAfter != NULL && (*pAfter == '\0' || *pAfter == ' ' || *pAfter == '\t'))
                return pAfter;
        }
    }
    return NULL;
}

// An unquoted path with a blank lets the process creation try every part
// before a blank as a program of its own: for C:\Program Files\Tool\tool.exe
// it starts C:\Program.exe first, where every user may have put one. The
// program is taken up to its extension, must exist, and goes to the process
// creation quoted, by the full name that was found.
static bool QuoteProgram(const char* pszCommandLine, char (&szQuoted)[MAX_PATH])
{
    const char* pEnd = EndOfProgram(pszCommandLine);
    char szProgram[MAX_PATH];
    if (pEnd == NULL || FAILED(StringCchCopyNA(szProgram, MAX_PATH, pszCommandLine, pEnd - pszCommandLine)))
        return false;
    char szFound[MAX_PATH];
    DWORD nFound = SearchPathA(NULL, szProgram, NULL, MAX_PATH, szFound, NULL);
    if (nFound == 0 || nFound >= MAX_PATH)
        return false;
    DWORD nAttributes = GetFileAttributesA(szFound);
    if (nAttributes == INVALID_FILE_ATTRIBUTES || (nAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return SUCCEEDED(StringCchPrintfA(szQuoted, MAX_PATH, "\"%s\"%s", szFound, pEnd));
}

bool RunApplication(const char* pszCommandLine)
{
    // CreateProcessA may write to its command line, so it gets a copy; a
    // command line that does not fit is refused, since a cut one could start
    // another program or pass other arguments.
    char szCommandLine[MAX_PATH];
    if (pszCommandLine == NULL || FAILED(StringCchCopyA(szCommandLine, MAX_PATH, pszCommandLine))) {
        ReportLine("    refused: the command line is too long");
        return false;
    }
    if (szCommandLine[0] != '"' && !QuoteProgram(pszCommandLine, szCommandLine)) {
        ReportLine("    refused: no program file found (an unquoted one must end in .exe, .com, .bat or .cmd)");
        return false;
    }
    if (previewOnly) {
        ReportLine("    starts: %s", szCommandLine);
        return true;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // The program gets none of the service's handles: it lives on after the
    // event, under the service's account, and would hold them open.
    if (!CreateProcessA(NULL, szCommandLine, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL,
                        &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
