#include "Configuration.h"

#include <string.h>
#include <strsafe.h>

#include "AnsiText.h"
#include "CanonicalPath.h"
#include "IniSection.h"
#include "IniText.h"
#include "service/LogMessage.h"

char iniPath[MAX_PATH];
BYTE profileCleanupEnabled = 1;
BYTE eventSummaryEnabled = 1;
LONG maxDynamicProfiles = 1;
char profileActionTrigger[MAX_PATH];
CQuilItemList profileList;
CQuilItemList directoryList;
CQuilItemList fileList;
CQuilItemList applicationList;
CDirList dontDeleteDirs;

static const char INI_NAME[] = "Fenwash.ini";

bool GetProgramFolder(char (&szFolder)[MAX_PATH])
{
    DWORD nLength = GetModuleFileNameA(NULL, szFolder, MAX_PATH);
    char* pLastBackslash = (nLength == 0 || nLength >= MAX_PATH) ? NULL : (char*)FindLastChar(szFolder, '\\');
    if (pLastBackslash == NULL) {
        szFolder[0] = '\0';
        return false;
    }
    pLastBackslash[1] = '\0';
    return true;
}

void LoadConfiguration()
{
    char szDirectory[MAX_PATH];
    GetProgramFolder(szDirectory);
    LogMessage("ServiceThread", "CurrentDirectory: %s", szDirectory);

    char szIniFile[MAX_PATH];
    if (szDirectory[0] == '\0' || FAILED(StringCchPrintfA(szIniFile, MAX_PATH, "%s%s", szDirectory, INI_NAME)))
        szIniFile[0] = '\0';
    LoadConfigurationFrom(szIniFile);
}

// Each value of [DontDeleteDirs], ending in a backslash as the directories
// that cleaning compares it with do.
static void LoadProtectedDirectories(const char* pszIniFile)
{
    CIniSection section;
    if (!section.Open(pszIniFile, "DontDeleteDirs") || !section.MoveFirst())
        return;
    do {
        // Held in the canonical form that cleaning compares with, so that
        // C:/Temp/Keep, C:\Temp\.\Keep or C:\Temp\Keep. protect what
        // C:\Temp\Keep does; a value that is no full local path stays as
        // written, as it was.
        char szDirectory[MAX_PATH];
        if (!CanonicalDirectory(section.GetValue(), szDirectory))
            StringCchCopyA(szDirectory, MAX_PATH, section.GetValue());
        // A value of 259 characters has no room for the backslash; without
        // one it could never equal a directory being cleaned, so it is left out.
        if (EndsWithBackslash(szDirectory) || SUCCEEDED(StringCchCatA(szDirectory, MAX_PATH, "\\")))
            dontDeleteDirs.Add(szDirectory);
    } while (section.MoveNext());
}

void LoadConfigurationFrom(const char* pszIniFile)
{
    profileCleanupEnabled = 1;
    eventSummaryEnabled = 1;
    maxDynamicProfiles = 1;
    profileActionTrigger[0] = '\0';
    dontDeleteDirs.RemoveAll();

    // Without a usable name the platform would pick a file of its own (a
    // relative name is looked for in the Windows directory), so the settings
    // keep their start values; the lists load nothing from an empty name.
    size_t nLength;
    bool bUsable = pszIniFile != NULL && SUCCEEDED(StringCchLengthA(pszIniFile, MAX_PATH, &nLength))
                   && nLength > 0;
    StringCchCopyA(iniPath, MAX_PATH, bUsable ? pszIniFile : "");
    if (bUsable) {
        profileCleanupEnabled = GetPrivateProfileIntA("Parameters", "CleanProfiles", 1, iniPath) == 1;
        // Only a plain 0 turns it off: a number read from "off" or "no" would be
        // 0 too, and a terminal would go silent on a value meant otherwise.
        char szSummary[MAX_PATH];
        eventSummaryEnabled = !(ReadIniString("Parameters", "EventSummary", szSummary, iniPath)
                                && strcmp(szSummary, "0") == 0);
        ReadIniString("Profiles", "ActionTrigger", profileActionTrigger, iniPath);
        maxDynamicProfiles = (LONG)GetPrivateProfileIntA("Parameters", "SaveDynamicProfiles",
                                                         maxDynamicProfiles, iniPath);
    }
    profileList.ReadItems(LIST_PROFILES, iniPath);
    directoryList.ReadItems(LIST_DIRECTORIES, iniPath);
    fileList.ReadItems(LIST_FILES, iniPath);
    applicationList.ReadItems(LIST_APPLICATIONS, iniPath);
    LoadProtectedDirectories(iniPath);
}
