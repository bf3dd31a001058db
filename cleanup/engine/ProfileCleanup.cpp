#include "ProfileCleanup.h"

#include <string.h>
#include <strsafe.h>

#include "FileActions.h"
#include "Preview.h"
#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "config/IniSection.h"
#include "service/LogMessage.h"

// Accounts whose profiles the terminal itself needs.
static const char* const FIXED_KEEP_NAMES[] = {
    "plinkett", "Administrator", "Default User", "Default_User", "quantorpolis"
};
static const DWORD FIXED_KEEP_COUNT = sizeof FIXED_KEEP_NAMES / sizeof FIXED_KEEP_NAMES[0];

// Each name of the keep-list carries, as its path, the reason it keeps a
// profile, for the preview to give.
static void AddKeepName(CQuilItemList& keepList, const char* pszName, const char* pszReason)
{
    CleanupItem* pItem = keepList.GetItem();
    pItem->SetKind(KIND_PROFILE);
    pItem->SetName(pszName != NULL ? pszName : "");
    pItem->SetPath(pszReason);
    keepList.MoveNext();
}

// The fixed names, the names of [Profiles] and every name of
// [SaveDynamicProfiles]: those the event left, written or not, else those of
// the file.
static void FillKeepList(CQuilItemList& keepList, CIniSection& dynamicNames, bool bDynamicOpen)
{
    keepList.MoveFirst();
    for (DWORD i = 0; i < FIXED_KEEP_COUNT; ++i)
        AddKeepName(keepList, FIXED_KEEP_NAMES[i], "fixed keep-list");
    if (profileList.MoveFirst()) {
        do
            AddKeepName(keepList, profileList.GetItem()->GetName(), "[Profiles]");
        while (profileList.MoveNext());
    }
    DWORD nKept;
    const char* pszRemembered;
    const char* pKeptLines = KeptDynamicProfiles(&nKept, &pszRemembered);
    if (pKeptLines != NULL) {
        for (const char* pLine = pKeptLines; *pLine != '\0'; pLine += strlen(pLine) + 1) {
            const char* pszName = FindChar(pLine, '=') + 1;
            AddKeepName(keepList, pszName,
                        SameText(pszName, pszRemembered) ? "the user remembered at this event" : "[SaveDynamicProfiles]");
        }
    } else if (bDynamicOpen && dynamicNames.MoveFirst()) {
        do
            AddKeepName(keepList, dynamicNames.GetValue(), "[SaveDynamicProfiles]");
        while (dynamicNames.MoveNext());
    }
}

static bool ReadImagePath(const char* pszKeyPath, char (&szImagePath)[MAX_PATH])
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKeyPath, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    bool bRead = ReadRegistryText(hKey, "ProfileImagePath", szImagePath);
    RegCloseKey(hKey);
    return bRead;
}

// The profile's SID, the last part of its registry path.
static const char* ProfileSid(const char* pszKeyPath)
{
    const char* pLastBackslash = FindLastChar(pszKeyPath, '\\');
    return pLastBackslash != NULL ? pLastBackslash + 1 : pszKeyPath;
}

// Only users' accounts are candidates: the system's own (S-1-5-18, -19, -20
// on later versions) are on no keep-list, and their profiles are needed.
static bool IsUserAccount(const char* pszSid)
{
    const char* pRest = SkipLeadingText(pszSid, "S-1-5-21-");
    return pRest != NULL && *pRest != '\0';
}

// A user whose hive is loaded is logged on: all but the locked hive would go,
// the key would stay, and the next logon would find a profile without its
// desktop. Anything but "no such key" counts as loaded.
static bool IsHiveLoaded(const char* pszSid)
{
    HKEY hKey;
    LONG nResult = RegOpenKeyExA(HKEY_USERS, pszSid, 0, KEY_QUERY_VALUE, &hKey);
    if (nResult == ERROR_SUCCESS)
        RegCloseKey(hKey);
    return nResult != ERROR_FILE_NOT_FOUND;
}

// A key that cannot be opened to look is not passed over here: its
// deletion then stops at reading the folder's path again.
static bool HoldsSubkeys(const char* pszKeyPath)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKeyPath, 0, KEY_ENUMERATE_SUB_KEYS, &hKey) != ERROR_SUCCESS)
        return false;
    char szSubkey[MAX_PATH];
    DWORD nSize = MAX_PATH;
    LONG nResult = RegEnumKeyExA(hKey, 0, szSubkey, &nSize, NULL, NULL, NULL, NULL);
    RegCloseKey(hKey);
    return nResult != ERROR_NO_MORE_ITEMS;
}

// A keep-list name may equal the folder's whole name (john.smith) or the
// name cut before its last full stop (Administrator for Administrator.000).
// A folder name that cannot be read again keeps the profile. The reason the
// profile is kept, or NULL when it is not.
static const char* KeepReason(CQuilItemList& keepList, CleanupItem* pProfile)
{
    if (keepList.FindName(pProfile->GetName()))
        return keepList.GetItem()->GetPath();
    char szImagePath[MAX_PATH];
    char szFolder[MAX_PATH];
    if (!ReadImagePath(pProfile->GetPath(), szImagePath) || !ProfileFolderName(szImagePath, szFolder))
        return "its folder name could not be read";
    return keepList.FindName(szFolder) ? keepList.GetItem()->GetPath() : NULL;
}

void ProcessingProfile()
{
    CIniSection dynamicNames;
    bool bDynamicOpen = dynamicNames.Open(iniPath, "SaveDynamicProfiles");
    // Without the recent users' names every one of them would be deleted.
    if (!bDynamicOpen && dynamicNames.IsUnreadable()) {
        LogMessage("ProcessingProfile", "Deleting no profile: [SaveDynamicProfiles] could not be read from %s",
                   iniPath);
        ReportOutcome(PROFILE_FAILED, "    deletes no profile: [SaveDynamicProfiles] could not be read");
        return;
    }
    DWORD nDynamic;
    const char* pszRemembered;
    if (KeptDynamicProfiles(&nDynamic, &pszRemembered) == NULL)
        nDynamic = bDynamicOpen ? dynamicNames.GetCount() : 0;
    CQuilItemList keepList(FIXED_KEEP_COUNT + profileList.GetCount() + nDynamic);
    if (keepList.GetCount() == 0)
        return;
    FillKeepList(keepList, dynamicNames, bDynamicOpen);

    DWORD nProfiles = CountProfileKeys();
    if (nProfiles == 0)
        return;
    CQuilItemList profiles(nProfiles);
    if (profiles.GetCount() != nProfiles || !ReadProfileList(profiles)) {
        ReportOutcome(PROFILE_FAILED, "    deletes no profile: the profile list could not be read");
        return;
    }

    profiles.MoveFirst();
    do {
        CleanupItem* pProfile = profiles.GetItem();
        const char* pszName = pProfile->GetName();
        const char* pszSid = ProfileSid(pProfile->GetPath());
        if (!IsUserAccount(pszSid)) {
            ReportOutcome(PROFILE_KEPT, "    keeps %s (%s): not a user account", pszName, pszSid);
            continue;
        }
        // No keep-list holds an empty name, so such a profile would be deleted;
        // its directory would then be the folder of every user's profile, or
        // the one above it.
        if (pszName[0] == '\0') {
            LogMessage("ProcessingProfile", "Passing over profile without a name: %s", pProfile->GetPath());
            ReportOutcome(PROFILE_KEPT, "    keeps (%s): an empty name", pszSid);
            continue;
        }
        const char* pszReason = KeepReason(keepList, pProfile);
        if (pszReason != NULL) {
            ReportOutcome(PROFILE_KEPT, "    keeps %s (%s): %s", pszName, pszSid, pszReason);
            continue;
        }
        if (IsHiveLoaded(pszSid)) {
            LogMessage("ProcessingProfile", "Passing over profile in use: %s", pszName);
            ReportOutcome(PROFILE_KEPT, "    keeps %s (%s): in use, its user is logged on", pszName, pszSid);
            continue;
        }
        // The key of a profile could not go with its folder: RegDeleteKeyA
        // leaves a key that holds subkeys. The folder would be lost and the
        // key left naming it, tried again at every event; the profile is
        // kept whole instead.
        if (HoldsSubkeys(pProfile->GetPath())) {
            LogMessage("ProcessingProfile", "Passing over profile whose key holds subkeys: %s", pszName);
            ReportOutcome(PROFILE_KEPT, "    keeps %s (%s): its registry key holds subkeys", pszName, pszSid);
            continue;
        }
        LogMessage("ProcessingProfile", "Deleting profile info for: %s", pszName);
        ReportLine("    deletes %s (%s)", pszName, pszSid);
        DeleteProfile(pProfile->GetPath());
    } while (profiles.MoveNext());
}

void DeleteProfile(const char* pszKeyPath)
{
    char szImagePath[MAX_PATH];
    if (!ReadImagePath(pszKeyPath, szImagePath)) {
        ReportOutcome(PROFILE_FAILED, "    left: its folder's path could not be read again, so its key stays");
        return;
    }

    // The expanded directory is checked again: a variable that expands to
    // nothing, or a value changed since the list was read, must not turn a
    // profile's folder into the folder above it.
    char szDirectory[MAX_PATH];
    DWORD nNeeded = ExpandEnvironmentStringsA(szImagePath, szDirectory, MAX_PATH);
    char szName[MAX_PATH];
    if (nNeeded == 0 || nNeeded > MAX_PATH || !ProfileNameFromPath(szDirectory, szName)) {
        ReportOutcome(PROFILE_FAILED, "    left: its folder names no folder of its own, so its key stays");
        return;
    }
    ReportLine("    folder %s", szDirectory);
    // The key stays while anything of the directory stays, so the profile is
    // tried again at the next run.
    bool bFolderGone = DeleteDirectory(szDirectory, true);
    ReportRemovals();
    if (!bFolderGone) {
        ReportOutcome(PROFILE_FAILED, "    left: its key, as its folder would not go entirely");
        return;
    }
    if (previewOnly) {
        ReportOutcome(PROFILE_DELETED, "    key removed");
        return;
    }

    HKEY hMachine;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_ALL_ACCESS, &hMachine) != ERROR_SUCCESS) {
        Tally(PROFILE_FAILED);
        return;
    }
    Tally(RegDeleteKeyA(hMachine, pszKeyPath) == ERROR_SUCCESS ? PROFILE_DELETED : PROFILE_FAILED);
    RegCloseKey(hMachine);
}
