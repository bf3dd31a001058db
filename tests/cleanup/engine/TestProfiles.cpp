#include "TestProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "config/Configuration.h"

static const char PROFILE_LIST[] = "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST";
static const char WINLOGON[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

static void DeleteKeyTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[MAX_PATH];
        DWORD size = MAX_PATH;
        while (RegEnumKeyExA(key, 0, child, &size, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
            DeleteKeyTree(key, child);
            size = MAX_PATH;
        }
        RegCloseKey(key);
    }
    ASSERT_EQ(RegDeleteKeyA(parent, name), ERROR_SUCCESS) << name;
}

void ClearProfileList()
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, PROFILE_LIST, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    char name[MAX_PATH];
    DWORD size = MAX_PATH;
    while (RegEnumKeyExA(key, 0, name, &size, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
        DeleteKeyTree(key, name);
        size = MAX_PATH;
    }
    RegCloseKey(key);
}

static HKEY CreateProfileKey(const std::string& subkey)
{
    HKEY key = NULL;
    std::string path = std::string(PROFILE_LIST) + "\\" + subkey;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    return key;
}

void AddProfile(const std::string& subkey, const std::string& imagePath)
{
    HKEY key = CreateProfileKey(subkey);
    ASSERT_EQ(RegSetValueExA(key, "ProfileImagePath", 0, REG_EXPAND_SZ, (const BYTE*)imagePath.c_str(),
                             (DWORD)imagePath.size() + 1), ERROR_SUCCESS);
    RegCloseKey(key);
}

void AddProfileWithoutImagePath(const std::string& subkey)
{
    HKEY key = CreateProfileKey(subkey);
    DWORD flags = 0;
    RegSetValueExA(key, "Flags", 0, REG_DWORD, (const BYTE*)&flags, sizeof flags);
    RegCloseKey(key);
}

bool ProfileKeyExists(const std::string& subkey)
{
    HKEY key;
    std::string path = std::string(PROFILE_LIST) + "\\" + subkey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetDefaultUserName(const std::string& name)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, WINLOGON, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    RegSetValueExA(key, "DefaultUserName", 0, REG_SZ, (const BYTE*)name.c_str(), (DWORD)name.size() + 1);
    RegCloseKey(key);
}

void RemoveDefaultUserName()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WINLOGON, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "DefaultUserName");
        RegCloseKey(key);
    }
}

std::string DynamicSection()
{
    char buffer[4096] = {};
    DWORD size = GetPrivateProfileSectionA("SaveDynamicProfiles", buffer, sizeof buffer, iniPath);
    std::vector<std::string> lines;
    for (DWORD i = 0; i < size; i += (DWORD)strlen(buffer + i) + 1)
        lines.push_back(buffer + i);
    std::sort(lines.begin(), lines.end());
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "|") + line;
    return joined;
}
