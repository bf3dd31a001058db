#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "service/LogMessage.h"

// Fetched once and kept: the directories cannot move while the service runs.
static char programDirectory[MAX_PATH];
static char windowsDirectory[MAX_PATH];
static char systemDirectory[MAX_PATH];

// A fetch that fails or would not fit leaves the buffer empty, to be tried
// again at the next call; an empty directory protects nothing but is never
// mistaken for a cut one.
static void FetchProgramDirectory()
{
    DWORD nLength = GetModuleFileNameA(NULL, programDirectory, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH) {
        programDirectory[0] = '\0';
        return;
    }
    char* pLastBackslash = (char*)FindLastChar(programDirectory, '\\');
    if (pLastBackslash != NULL)
        *pLastBackslash = '\0';
    LogMessage("CanCleanDir", "CurrentDirectory: %s", programDirectory);
}

static void FetchDirectory(UINT (WINAPI* fetch)(LPSTR, UINT), char (&szDirectory)[MAX_PATH])
{
    UINT nLength = fetch(szDirectory, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        szDirectory[0] = '\0';
}

// True when the path is the directory or a leading part of it.
static bool IsLeadingPart(const char* pszPath, size_t nPathLength, const char* pszDirectory)
{
    if (pszDirectory[0] == '\0' || nPathLength > (size_t)lstrlenA(pszDirectory))
        return false;
    char szLeading[MAX_PATH];
    StringCchCopyNA(szLeading, MAX_PATH, pszDirectory, nPathLength);
    return SameText(szLeading, pszPath);
}

bool CanCleanDir(const char* pszPath)
{
    if (programDirectory[0] == '\0')
        FetchProgramDirectory();
    if (windowsDirectory[0] == '\0')
        FetchDirectory(GetWindowsDirectoryA, windowsDirectory);
    if (systemDirectory[0] == '\0')
        FetchDirectory(GetSystemDirectoryA, systemDirectory);

    size_t nLength;
    if (pszPath == NULL || FAILED(StringCchLengthA(pszPath, STRSAFE_MAX_CCH, &nLength)) || nLength <= 1)
        return false;
    return !IsLeadingPart(pszPath, nLength, programDirectory)
        && !IsLeadingPart(pszPath, nLength, systemDirectory)
        && !IsLeadingPart(pszPath, nLength, windowsDirectory);
}
