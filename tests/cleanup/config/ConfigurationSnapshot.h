// The process-wide configuration copied into comparable values.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct SnapshotItem
{
    std::string text;   // path, or name of a profile item
    DWORD kind, triggers, action;
};
bool operator==(const SnapshotItem& a, const SnapshotItem& b);
std::ostream& operator<<(std::ostream& out, const SnapshotItem& item);

// The start values of a process, until filled.
struct ConfigurationSnapshot
{
    std::string iniPath;
    int profileCleanupEnabled = 1;
    long maxDynamicProfiles = 1;
    std::string profileActionTrigger;
    std::vector<SnapshotItem> profiles, directories, files, applications;
    std::vector<std::string> protectedDirectories;
};
bool operator==(const ConfigurationSnapshot& a, const ConfigurationSnapshot& b);
std::ostream& operator<<(std::ostream& out, const ConfigurationSnapshot& snapshot);

class CQuilItemList;

// Every item of the list by a walk, as the event processing walks it.
std::vector<SnapshotItem> ItemsOf(CQuilItemList& list);

ConfigurationSnapshot TakeSnapshot();
