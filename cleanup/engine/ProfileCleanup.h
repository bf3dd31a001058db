// Cached user profiles: remembering the recent users, and deleting the
// profiles of users who are on no keep-list.
#pragma once

#include <windows.h>

#include "config/QuilItemList.h"

// Below HKEY_LOCAL_MACHINE; each subkey is one cached profile.
extern const char profileListKey[];

// The user who logged on last, from Winlogon "DefaultUserName".
bool GetDefaultUserName(char (&szName)[MAX_PATH]);

// Moves the name to, or adds it at, the newest place of the recent users in
// [SaveDynamicProfiles] (its keys P0, P1, ..., the order taken from their
// numbers) and drops the oldest beyond maxDynamicProfiles; every line with a
// key of another form stays as it stands. The section is written once, or not
// at all when nothing changes; either way the lines it should hold are kept
// for the event (KeepDynamicProfiles). A section that is missing or empty is
// left so, and a blank name changes nothing. True when the file holds the result.
bool SaveDynamicProfileName(const char* pszName, DWORD nBufferSize);

// The [SaveDynamicProfiles] lines of the current event ("KEY=name", each
// ending in NUL, the list in one more NUL) and the name it remembers (NULL
// for none): the event's profile decisions use them, whether the section
// could be written or, in a preview, was not. Kept ones replace the earlier
// ones; without any, KeptDynamicProfiles gives NULL and no lines.
bool KeepDynamicProfiles(const char* pLines, size_t nLength, const char* pszRemembered);
const char* KeptDynamicProfiles(DWORD* pnLines, const char** ppszRemembered);
void ForgetDynamicProfiles();

// Deletes every cached profile of a user account (SID S-1-5-21-...) whose
// folder name, whole or cut before its last full stop, is on no keep-list,
// and whose user is not logged on. Deletes nothing when [SaveDynamicProfiles]
// could not be read.
void ProcessingProfile();

DWORD CountProfileKeys();

// Fills the list, whose room is the number of subkeys, with one profile item
// per subkey: its name and its registry path. False when any subkey could
// not be read.
bool ReadProfileList(CQuilItemList& list);

// Deletes the profile's directory and then, if that went, its registry key.
void DeleteProfile(const char* pszKeyPath);

// The last part of a profile's directory, whole; false as ProfileNameFromPath.
bool ProfileFolderName(const char* pszImagePath, char (&szName)[MAX_PATH]);

// The name of the profile whose directory is pszImagePath: its last part, cut
// before its last full stop. False, with an empty name, when the last part
// names no folder of its own (empty, or only full stops and blanks, which the
// platform would take for the folder above), or there is no backslash at all.
bool ProfileNameFromPath(const char* pszImagePath, char (&szName)[MAX_PATH]);

// A registry text value into a 260-byte buffer, always terminated; false when
// it is missing or does not fit.
bool ReadRegistryText(HKEY hKey, const char* pszValue, char (&szText)[MAX_PATH]);
