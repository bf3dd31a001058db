#include "ConfigurationSnapshot.h"

#include "config/Configuration.h"

bool operator==(const SnapshotItem& a, const SnapshotItem& b)
{
    return a.text == b.text && a.kind == b.kind && a.triggers == b.triggers && a.action == b.action;
}

std::ostream& operator<<(std::ostream& out, const SnapshotItem& item)
{
    return out << "{\"" << item.text << "\", kind " << item.kind << ", triggers " << item.triggers
               << ", action " << item.action << "}";
}

bool operator==(const ConfigurationSnapshot& a, const ConfigurationSnapshot& b)
{
    return a.iniPath == b.iniPath && a.profileCleanupEnabled == b.profileCleanupEnabled
        && a.maxDynamicProfiles == b.maxDynamicProfiles && a.profileActionTrigger == b.profileActionTrigger
        && a.profiles == b.profiles && a.directories == b.directories && a.files == b.files
        && a.applications == b.applications && a.protectedDirectories == b.protectedDirectories;
}

static void PrintItems(std::ostream& out, const char* name, const std::vector<SnapshotItem>& items)
{
    out << "\n  " << name << ":";
    for (const SnapshotItem& item : items)
        out << " " << item;
}

std::ostream& operator<<(std::ostream& out, const ConfigurationSnapshot& snapshot)
{
    out << "{iniPath \"" << snapshot.iniPath << "\", CleanProfiles " << snapshot.profileCleanupEnabled
        << ", SaveDynamicProfiles " << snapshot.maxDynamicProfiles << ", trigger \""
        << snapshot.profileActionTrigger << "\"";
    PrintItems(out, "profiles", snapshot.profiles);
    PrintItems(out, "directories", snapshot.directories);
    PrintItems(out, "files", snapshot.files);
    PrintItems(out, "applications", snapshot.applications);
    out << "\n  protected:";
    for (const std::string& path : snapshot.protectedDirectories)
        out << " \"" << path << "\"";
    return out << "}";
}

std::vector<SnapshotItem> ItemsOf(CQuilItemList& list)
{
    std::vector<SnapshotItem> items;
    if (!list.MoveFirst())
        return items;
    do {
        CleanupItem* item = list.GetItem();
        const char* text = item->GetKind() == KIND_PROFILE ? item->GetName() : item->GetPath();
        items.push_back({text != nullptr ? text : "(none)", item->GetKind(), item->GetTriggers(), item->GetAction()});
    } while (list.MoveNext());
    return items;
}

ConfigurationSnapshot TakeSnapshot()
{
    ConfigurationSnapshot snapshot;
    snapshot.iniPath = iniPath;
    snapshot.profileCleanupEnabled = profileCleanupEnabled;
    snapshot.maxDynamicProfiles = maxDynamicProfiles;
    snapshot.profileActionTrigger = profileActionTrigger;
    snapshot.profiles = ItemsOf(profileList);
    snapshot.directories = ItemsOf(directoryList);
    snapshot.files = ItemsOf(fileList);
    snapshot.applications = ItemsOf(applicationList);
    for (const char* path = dontDeleteDirs.GetFirst(); path != nullptr; path = dontDeleteDirs.GetNext())
        snapshot.protectedDirectories.push_back(path);
    return snapshot;
}
