#include "FileActions.h"

#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "config/ProcessHeap.h"
#include "Preview.h"

static bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Just after the first .exe, .com, .bat or .cmd that a blank, a tab or the
// end of the line follows; NULL when there is none.
static const char* EndOfExtension(const char* pszCommandLine)
{
    static const char* const EXTENSIONS[] = { ".EXE", ".COM", ".BAT", ".CMD" };
    for (const char* p = pszCommandLine; *p != '\0'; p = CharNextA(p)) {
        for (const char* pszExtension : EXTENSIONS) {
            const char* pAfter = SkipLeadingText(p, pszExtension);
            if (pAfter != NULL && (*pAfter == '\0' || IsBlank(*pAfter)))
                return pAfter;
        }
    }
    return NULL;
}

static bool HoldsPathSign(const char* p, const char* pEnd)
{
    for (; p < pEnd; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':')
            return true;
    return false;
}

// Where the program part of an unquoted command line ends; NULL when it
// cannot be told. A bare name (cmd, regedit, tool.bat) ends at the first
// blank. A path ends at its extension, which may lie past blanks: ended at
// the first blank, C:\Program Files\Tool\tool.exe would name C:\Program.exe,
// where every user of an old system may put one. So a path without such an
// extension is a program only when nothing follows it.
static const char* EndOfProgramPart(const char* pszCommandLine, bool* pbPath)
{
    const char* pFirstBlank = pszCommandLine;
    while (*pFirstBlank != '\0' && !IsBlank(*pFirstBlank))
        pFirstBlank = CharNextA(pFirstBlank);
    *pbPath = HoldsPathSign(pszCommandLine, pFirstBlank);
    if (!*pbPath)
        return pFirstBlank;
    const char* pEnd = EndOfExtension(pszCommandLine);
    return pEnd != NULL ? pEnd : (*pFirstBlank == '\0' ? pFirstBlank : NULL);
}

static bool IsFile(const char* pszPath)
{
    DWORD nAttributes = GetFileAttributesA(pszPath);
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The program by its canonical full name, with ".exe" when its last part has
// no extension. A path that is not a full local one would be taken from the
// current directory, which is the admin's prompt in a preview and the system
// directory in the service.
static bool FindProgramPath(const char* pszProgram, char (&szFound)[MAX_PATH])
{
    if (!CanonicalDirectory(pszProgram, szFound) || EndsWithBackslash(szFound))
        return false;
    const char* pSeparator = FindLastPathSeparator(szFound);
    if (FindChar(pSeparator, '.') == NULL && FAILED(StringCchCatA(szFound, MAX_PATH, ".exe")))
        return false;
    return IsFile(szFound);
}

// One folder of the search; one that is no full local path (an empty or
// relative PATH entry) would depend on the current directory and is skipped.
static bool FindInFolder(const char* pszFolder, size_t nFolder, const char* pszName, char (&szFound)[MAX_PATH])
{
    char szFolder[MAX_PATH];
    char szFull[MAX_PATH];
    if (FAILED(StringCchCopyNA(szFolder, MAX_PATH, pszFolder, nFolder)) || !CanonicalDirectory(szFolder, szFull))
        return false;
    DWORD nFound = SearchPathA(szFull, pszName, ".exe", MAX_PATH, szFound, NULL);
    return nFound != 0 && nFound < MAX_PATH && IsFile(szFound);
}

// A bare name, looked for as the process creation would look for it, less
// the current directory: the service's own folder, the system directory, the
// Windows directory, then each folder of PATH.
static bool FindProgramByName(const char* pszName, char (&szFound)[MAX_PATH])
{
    char szFolder[MAX_PATH];
    if (GetProgramFolder(szFolder) && FindInFolder(szFolder, strlen(szFolder), pszName, szFound))
        return true;
    typedef UINT (WINAPI* FolderFetch)(LPSTR, UINT);
    static const FolderFetch SYSTEM_FOLDERS[] = { GetSystemDirectoryA, GetWindowsDirectoryA };
    for (FolderFetch fetch : SYSTEM_FOLDERS) {
        UINT nFolder = fetch(szFolder, MAX_PATH);
        if (nFolder != 0 && nFolder < MAX_PATH && FindInFolder(szFolder, nFolder, pszName, szFound))
            return true;
    }
    DWORD nPath = GetEnvironmentVariableA("PATH", NULL, 0);
    char* pszPath = nPath == 0 ? NULL : (char*)AllocZeroed(nPath, 1);
    bool bFound = false;
    if (pszPath != NULL && GetEnvironmentVariableA("PATH", pszPath, nPath) < nPath) {
        for (const char* pEntry = pszPath; !bFound && *pEntry != '\0';) {
            const char* pEnd = FindChar(pEntry, ';');
            size_t nEntry = pEnd != NULL ? (size_t)(pEnd - pEntry) : strlen(pEntry);
            bFound = FindInFolder(pEntry, nEntry, pszName, szFound);
            pEntry += pEnd != NULL ? nEntry + 1 : nEntry;
        }
    }
    FreeBlock(pszPath);
    return bFound;
}

// The command line with its program quoted by the full name found, so that
// the process creation starts that file and no other; the reason when there
// is none. A quoted program is looked up by the same rules as an unquoted
// one: left to the process creation, a relative or bare quoted name would be
// taken from the current directory, which is the admin's prompt in a
// preview and the system directory in the service, and a preview could not
// tell that a program is missing. A quote left open runs to the end of the
// line, as the process creation reads it.
// Room for any line a value can hold (MAX_PATH - 1 characters at most) once
// its program is replaced by a full name of up to MAX_PATH - 1 in quotes: a
// line that fits its value must not be refused for the name found.
static const size_t QUOTED_LINE_SIZE = 2 * MAX_PATH + 2;

static const char* QuoteProgram(const char* pszCommandLine, char (&szQuoted)[QUOTED_LINE_SIZE])
{
    bool bPath;
    const char* pStart = pszCommandLine;
    const char* pEnd;
    const char* pRest;
    if (*pszCommandLine == '"') {
        pStart = pszCommandLine + 1;
        pEnd = FindChar(pStart, '"');
        if (pEnd == NULL)
            pEnd = pStart + strlen(pStart);
        pRest = *pEnd == '"' ? pEnd + 1 : pEnd;
        bPath = HoldsPathSign(pStart, pEnd);
    } else {
        pEnd = EndOfProgramPart(pszCommandLine, &bPath);
        if (pEnd == NULL)
            return "an unquoted path followed by arguments must end in .exe, .com, .bat or .cmd, or be quoted";
        pRest = pEnd;
    }
    char szProgram[MAX_PATH];
    char szFound[MAX_PATH];
    if (pEnd == pStart || FAILED(StringCchCopyNA(szProgram, MAX_PATH, pStart, pEnd - pStart)))
        return "no program file found";
    bool bFound = bPath ? FindProgramPath(szProgram, szFound) : FindProgramByName(szProgram, szFound);
    // A quoted program on a share names no current directory: it is
    // started as written when it is there.
    if (!bFound && pStart != pszCommandLine && StartsWithTwoSeparators(szProgram) && IsFile(szProgram))
        bFound = SUCCEEDED(StringCchCopyA(szFound, MAX_PATH, szProgram));
    if (!bFound)
        return "no program file found";
    if (FAILED(StringCchPrintfA(szQuoted, QUOTED_LINE_SIZE, "\"%s\"%s", szFound, pRest)))
        return "the command line is too long";
    return NULL;
}

bool RunApplication(const char* pszCommandLine)
{
    // CreateProcessA may write to its command line, so it gets a copy; a
    // command line longer than a value holds is refused, since a cut one
    // could start another program or pass other arguments.
    char szCommandLine[QUOTED_LINE_SIZE];
    if (pszCommandLine == NULL || FAILED(StringCchLengthA(pszCommandLine, MAX_PATH, NULL))) {
        ReportOutcome(PROGRAM_REFUSED, "    refused: the command line is too long");
        return false;
    }
    const char* pszReason = QuoteProgram(pszCommandLine, szCommandLine);
    if (pszReason != NULL) {
        ReportOutcome(PROGRAM_REFUSED, "    refused: %s", pszReason);
        return false;
    }
    if (previewOnly) {
        ReportOutcome(PROGRAM_STARTED, "    starts: %s", szCommandLine);
        return true;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // The program gets none of the service's handles: it lives on after the
    // event, under the service's account, and would hold them open.
    if (!CreateProcessA(NULL, szCommandLine, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL,
                        &startup, &process)) {
        Tally(PROGRAM_FAILED);
        return false;
    }
    Tally(PROGRAM_STARTED);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
