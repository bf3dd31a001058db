// The terminal's ProfileList and Winlogon values, arranged by a test.
#pragma once

#include <windows.h>

#include <string>

// Removes every subkey of ProfileList (the terminal's own ones too: they name
// folders that a test run must not lose).
void ClearProfileList();
// A ProfileList subkey with the given "ProfileImagePath" (REG_EXPAND_SZ).
void AddProfile(const std::string& subkey, const std::string& imagePath);
// A ProfileList subkey without "ProfileImagePath".
void AddProfileWithoutImagePath(const std::string& subkey);
bool ProfileKeyExists(const std::string& subkey);
void SetDefaultUserName(const std::string& name);
void RemoveDefaultUserName();
// The [SaveDynamicProfiles] lines of iniPath in key order (the keys, not the
// lines' places, say which name is newest), joined by "|".
std::string DynamicSection();
