#include "FileActions.h"

#include <string.h>
#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "DirectoryIdentity.h"
#include "PathEntry.h"
#include "Preview.h"
#include "service/LogMessage.h"

// Fetched once and kept: the directories cannot move while the service runs.
// Each is held in the form candidates are compared in: full, canonical,
// without a trailing backslash ("C:" for a drive's root).
static char programDirectory[MAX_PATH];
static char windowsDirectory[MAX_PATH];
static char systemDirectory[MAX_PATH];

// False, with an empty form, for a path that is no full local path.
static bool CompareForm(const char* pszPath, char (&szForm)[MAX_PATH])
{
    if (!CanonicalDirectory(pszPath, szForm))
        return false;
    if (EndsWithBackslash(szForm))
        szForm[strlen(szForm) - 1] = '\0';
    return true;
}

// A fetch that fails or would not fit leaves the buffer empty, to be tried
// again at the next call; an empty directory protects nothing but is never
// mistaken for a cut one.
static void FetchProgramDirectory()
{
    char szProgram[MAX_PATH];
    if (!GetProgramFolder(szProgram) || !CompareForm(szProgram, programDirectory))
        return;
    szProgram[strlen(szProgram) - 1] = '\0';
    LogMessage("CanCleanDir", "CurrentDirectory: %s", szProgram);
}

static void FetchDirectory(UINT (WINAPI* fetch)(LPSTR, UINT), char (&szDirectory)[MAX_PATH])
{
    char szFetched[MAX_PATH];
    UINT nLength = fetch(szFetched, MAX_PATH);
    if (nLength != 0 && nLength < MAX_PATH && SUCCEEDED(StringCchCatA(szFetched, MAX_PATH, "\\")))
        CompareForm(szFetched, szDirectory);
}

// True when the candidate is the protected directory or a folder that holds
// it, by identity: this catches what no text comparison can, such as a short
// 8.3 name, a link, or another drive letter for the same folder.
static bool HoldsByIdentity(const DirectoryIdentity& candidate, const char* pszProtected)
{
    for (const char* p = pszProtected;; p = CharNextA(p)) {
        if (*p == '\\' || *p == '\0') {
            char szFolder[MAX_PATH];
            size_t nFolder = p - pszProtected;
            StringCchCopyNA(szFolder, MAX_PATH, pszProtected, nFolder);
            if (nFolder == 2)
                StringCchCatA(szFolder, MAX_PATH, "\\");    // "C:" alone is the current folder of C:
            DirectoryIdentity folder;
            if (GetIdentity(szFolder, &folder) && SameIdentity(folder, candidate))
                return true;
        }
        if (*p == '\0')
            return false;
    }
}

static bool Refuse(Outcome outcome, const char* pszReason)
{
    ReportOutcome(outcome, "    refused: %s", pszReason);
    return false;
}

bool CanCleanDir(const char* pszPath)
{
    if (programDirectory[0] == '\0')
        FetchProgramDirectory();
    if (windowsDirectory[0] == '\0')
        FetchDirectory(GetWindowsDirectoryA, windowsDirectory);
    if (systemDirectory[0] == '\0')
        FetchDirectory(GetSystemDirectoryA, systemDirectory);
    const char* const protectedDirectories[] = { programDirectory, systemDirectory, windowsDirectory };
    static const char* const PROTECTED_REASONS[] = {
        "the program's directory, a folder holding it or the start of its name",
        "the system directory, a folder holding it or the start of its name",
        "the Windows directory, a folder holding it or the start of its name"
    };

    // Refused: no full local path, a drive's root, and a leading part (by
    // characters, case ignored) of a protected directory: the directory
    // itself, every folder that holds it, and shorter names such as C:\WIN.
    char szForm[MAX_PATH];
    if (!CompareForm(pszPath, szForm))
        return Refuse(REFUSED_PATH, "not a full local path");
    if (strlen(szForm) <= 2)
        return Refuse(REFUSED_SYSTEM_FOLDER, "a drive's root");
    for (DWORD i = 0; i < sizeof PROTECTED_REASONS / sizeof PROTECTED_REASONS[0]; ++i) {
        if (protectedDirectories[i][0] != '\0' && SkipLeadingText(protectedDirectories[i], szForm) != NULL)
            return Refuse(REFUSED_SYSTEM_FOLDER, PROTECTED_REASONS[i]);
    }
    DirectoryIdentity candidate;
    if (!GetIdentity(szForm, &candidate)) {
        // A missing one holds nothing. One whose attributes cannot be read
        // for another reason (access denied, a bad name) may well be there.
        bool bMissing = GetFileAttributesA(szForm) == INVALID_FILE_ATTRIBUTES && IsNotFound(GetLastError());
        return bMissing || Refuse(FAILED_CHECK, "it could not be opened to check it");
    }
    for (DWORD i = 0; i < sizeof PROTECTED_REASONS / sizeof PROTECTED_REASONS[0]; ++i) {
        if (protectedDirectories[i][0] != '\0' && HoldsByIdentity(candidate, protectedDirectories[i]))
            return Refuse(REFUSED_SYSTEM_FOLDER, PROTECTED_REASONS[i]);
    }
    return true;
}
