// Fenwash -Preview against the real service on one tree: what the report says
// each event would do is what the service then does at that event, and the
// preview itself leaves the tree, the profile keys and the INI file as they were.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ServiceTestSupport.h"
#include "TestProfiles.h"
#include "UnixLink.h"

namespace {

const std::string root = "C:\\preview";
const std::string started = "C:\\preview-started.txt";
const std::string sid = "S-1-5-21-7-7-7-";
typedef std::map<std::string, std::vector<std::string>> Report;   // event heading -> its lines

struct State
{
    std::map<std::string, std::string> tree;    // path -> kind (f, d, l) and size; links not entered
    std::set<std::string> keys;                 // the ProfileList subkeys
    std::string ini;
    bool operator==(const State& other) const { return tree == other.tree && keys == other.keys && ini == other.ini; }

    void List(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
            std::string path = folder + "\\" + found.cFileName;
            bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            bool dir = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (std::string(found.cFileName) == "." || std::string(found.cFileName) == "..")
                continue;
            tree[path] = std::string(link ? "l" : dir ? "d" : "f") + std::to_string(found.nFileSizeLow);
            if (dir && !link)
                List(path);
        }
        FindClose(find);
    }
};

State Snapshot(const std::string& ini, const std::string& folder = root)
{
    State state;
    state.List(folder);
    HKEY list;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST", 0, KEY_READ, &list);
    char key[MAX_PATH];
    for (DWORD i = 0, size = MAX_PATH; RegEnumKeyExA(list, i, key, &size, NULL, NULL, NULL, NULL) == 0; ++i, size = MAX_PATH)
        state.keys.insert(key);
    RegCloseKey(list);
    state.ini = ReadTextFile(ini);
    return state;
}

// Fenwash.exe -Preview redirected to a file, as an administrator runs it
// from a prompt whose current directory is `prompt`.
DWORD RunPreview(const std::string& program, Report& report, const std::string& prompt = "C:\\")
{
    const std::string path = "C:\\preview-report.txt";
    DWORD code = RunAndWait("cmd /c \"cd /d " + prompt + " && \"" + program + "\" -Debug -Preview > " + path + "\"");
    std::string text = ReadTextFile(path), event;
    for (char* line = strtok(&text[0], "\r\n"); line != NULL; line = strtok(NULL, "\r\n")) {
        if (line[0] != ' ')
            report[event = line];
        else
            report[event].push_back(line);
    }
    return code;
}

// The event's report against what the service did in it: the removals counted,
// the files named, what it said stays, the profile keys.
void ExpectDone(const std::vector<std::string>& report, const State& before, const State& after)
{
    std::map<char, unsigned long> gone, said;
    std::map<std::string, bool> staying;    // profile key -> whether the report says it stays
    std::string key;
    for (const auto& entry : before.tree)
        gone[entry.second[0]] += after.tree.count(entry.first) == 0;
    for (const std::string& line : report) {
        unsigned long files, folders, links;
        if (sscanf(line.c_str(), "    removes: files %lu, folders %lu, links %lu", &files, &folders, &links) == 3)
            said['f'] += files, said['d'] += folders, said['l'] += links;
        std::string path = line.size() > 10 ? line.substr(10, line.find(" (") - 10) : "";
        if (line.compare(0, 10, "    file: ") == 0) {
            EXPECT_EQ(after.tree.count(path), 0u) << line;
        }
        if (line.compare(0, 12, "    left: C:") == 0) {
            EXPECT_EQ(after.tree.count(path.back() == '\\' ? path.substr(0, path.size() - 1) : path), 1u) << line;
        }
        size_t at = line.find(sid);
        if (at != std::string::npos) {
            key = line.substr(at, line.find(')') - at);
            staying[key] = line.compare(0, 9, "    keeps") == 0;
        }
        if (line.compare(0, 14, "    left: its ") == 0)
            staying[key] = true;    // the deletion stopped, its key stays
    }
    for (const auto& profile : staying)
        EXPECT_EQ(after.keys.count(profile.first), profile.second ? 1u : 0u) << profile.first;
    EXPECT_EQ(gone['f'], said['f']);
    EXPECT_EQ(gone['d'], said['d']);
    // Wine looks through a link to a folder: it cannot remove one to a folder
    // that holds something, where the terminal's platform removes the link
    // alone. Whether it was followed shows in the counts above.
    EXPECT_LE(gone['l'], said['l']);
}

} // namespace

TEST(Preview, ReportsWhatEachEventOfTheServiceThenDoes)
{
    for (const char* folder : { "\\Temp\\sub\\deep", "\\Temp\\keep", "\\Gone\\x", "\\Logs\\old.log", "\\target",
                                "\\Profiles\\gone.user\\Desktop", "\\Profiles\\dave", "\\Profiles\\erin", "\\All\\sub",
                                "\\prompt" })
        ASSERT_EQ(SHCreateDirectoryExA(NULL, (root + folder).c_str(), NULL), ERROR_SUCCESS) << folder;
    for (const char* file : { "\\Temp\\a.txt", "\\Temp\\sub\\deep\\b.txt", "\\Temp\\keep\\c.txt", "\\Temp\\.settings",
                              "\\Gone\\x\\y.txt", "\\Gone\\x\\.keep", "\\target\\t.txt", "\\Logs\\one.log", "\\Logs\\two.log",
                              "\\Logs\\keep.txt", "\\Profiles\\gone.user\\Desktop\\n.lnk", "\\Profiles\\dave\\d.dat",
                              "\\Profiles\\erin\\e.dat", "\\All\\x.txt", "\\All\\y" })
        ASSERT_TRUE(WriteTextFile(root + file, "data"));
    // A program that lies only in the administrator's current directory.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\cmd.exe").c_str(), (root + "\\prompt\\promptonly.exe").c_str(), FALSE));
    ASSERT_TRUE(MakeUnixLink(root + "\\Temp\\lnk", root + "\\target"));
    const char* names[] = { "gone.user", "alice", "bob", "carol", "dave", "Administrator.000", ".." };
    for (int i = 0; i < 7; ++i)
        AddProfile(sid + std::to_string(1001 + i), root + "\\Profiles\\" + names[i]);
    AddProfile("S-1-5-18", root + "\\Profiles\\dave");
    // A key with a subkey cannot be deleted; its profile is kept whole.
    AddProfile(sid + "1008", root + "\\Profiles\\erin");
    HKEY subkey;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST\\" + sid
                              + "1008\\Preferences").c_str(), 0, NULL, 0, KEY_WRITE, NULL, &subkey, NULL), ERROR_SUCCESS);
    RegCloseKey(subkey);
    SetDefaultUserName("carol");
    const std::string program = CopyFenwashTo("C:\\Program Files\\Quillmere Preview");
    const std::string ini = "C:\\Program Files\\Quillmere Preview\\Fenwash.ini";
    ASSERT_TRUE(WriteTextFile(ini,
        "[Parameters]\r\nSaveDynamicProfiles=2\r\n[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nKeep=alice\r\n"
        "[Directories]\r\n1=Temp\r\n2=Windows\r\n3=Gone\r\n4=Relative\r\n[Files]\r\n1=Logs\r\n2=All\r\n[Applications]\r\n1=Echo\r\n2=None\r\n3=Prompt\r\n"
        "[Temp]\r\nPath=C:\\preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Windows]\r\nPath=C:\\windows\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Gone]\r\nPath=C:\\preview\\Gone\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Relative]\r\nPath=preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Logs]\r\nPath=C:\\preview\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[All]\r\nPath=C:\\preview\\All\\*.*\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Prompt]\r\nPath=promptonly /c echo started>" + started + "\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Echo]\r\nPath=C:\\windows\\system32\\cmd.exe /c echo started>" + started + "\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[None]\r\nPath=C:\\preview\\nothing.exe\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[DontDeleteDirs]\r\n1=C:\\preview\\Temp\\keep\r\n[SaveDynamicProfiles]\r\nP0=dave\r\nP1=bob\r\n"));

    const State before = Snapshot(ini);
    Report report;
    EXPECT_EQ(RunPreview(program, report, root + "\\prompt"), 0u);
    Sleep(1000);
    EXPECT_TRUE(Snapshot(ini) == before) << "the preview changed the tree, a profile key or the INI file";
    EXPECT_FALSE(FileExists(started)) << "the preview started a program";
    // The decisions and their reasons as the report gives them.
    const char* startup = "At service start-up:";
    const char* logoff = "At logoff:";
    const std::vector<std::pair<const char*, std::string>> expected = {
        { startup, "    link removed, not followed: C:\\preview\\Temp\\lnk" },
        { startup, "    starts: \"C:\\windows\\system32\\cmd.exe\" /c echo started>" + started },
        { startup, "    refused: no program file found" },
        { logoff, "    refused: the system directory, a folder holding it or the start of its name" },
        { "At shutdown:", "    refused: not a full local path" },
        { logoff, "    keeps alice (" + sid + "1002): [Profiles]" },
        { logoff, "    keeps bob (" + sid + "1003): [SaveDynamicProfiles]" },
        { logoff, "    keeps carol (" + sid + "1004): the user remembered at this event" },
        { logoff, "    deletes dave (" + sid + "1005)" },   // pushed out of the two recent users by carol
        { logoff, "    keeps Administrator (" + sid + "1006): fixed keep-list" },
        { logoff, "    keeps (" + sid + "1007): an empty name" },
        { logoff, "    keeps dave (S-1-5-18): not a user account" },
        { logoff, "    deletes gone (" + sid + "1001)" },
        { logoff, "    keeps erin (" + sid + "1008): its registry key holds subkeys" },
        { "At shutdown:", "    left: C:\\preview\\Logs\\old.log (a folder: a file pattern deletes only files)" },
        { "At shutdown:", "    left: C:\\preview\\All\\sub (a folder: a file pattern deletes only files)" },
    };
    for (const auto& line : expected) {
        const std::vector<std::string>& lines = report[line.first];
        EXPECT_NE(std::find(lines.begin(), lines.end(), line.second), lines.end()) << line.second;
    }
    for (const std::string& line : report[startup])
        EXPECT_FALSE(line.find("starts: ") == 4 && line.find("promptonly") != std::string::npos)
            << "found where the service does not look: " << line;

    // The real service on the same tree, one event at a time.
    std::string name = FreshServiceName("FenwashPreview");
    ASSERT_EQ(CreateTestService(name, "\"" + program + "\" -Debug"), "");
    TraceMark mark;
    ASSERT_TRUE(StartTestService(name));
    ASSERT_TRUE(WaitForState(name, SERVICE_RUNNING));
    DWORD pid = QueryStatus(name).dwProcessId;
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
    for (int i = 0; i < 100 && !FileExists(started); ++i)
        Sleep(100);
    EXPECT_TRUE(FileExists(started)) << "the program the preview named was not started";
    std::vector<State> states = { before, Snapshot(ini) };
    for (DWORD event : { (DWORD)CTRL_LOGOFF_EVENT, (DWORD)CTRL_SHUTDOWN_EVENT }) {
        ASSERT_TRUE(SendConsoleEvent(pid, event));
        states.push_back(Snapshot(ini));
    }
    ExpectDone(report[startup], states[0], states[1]);
    ExpectDone(report[logoff], states[1], states[2]);
    ExpectDone(report["At shutdown:"], states[2], states[3]);
    DWORD error;
    Control(name, SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState(name, SERVICE_STOPPED));
    DeleteTestService(name);
    RemoveDefaultUserName();
}

TEST(Preview, ExitsWithOneWhenTheConfigurationCannotBeRead)
{
    Report report;
    EXPECT_EQ(RunPreview(CopyFenwashTo("C:\\Program Files\\Quillmere No Ini"), report), 1u);
    EXPECT_EQ(report.count("The configuration could not be read; the service would run on its start values."), 1u);
    EXPECT_EQ(report.count("At shutdown:"), 1u) << "what the service would do is still shown";
}

namespace {

const std::string generated = "C:\\preview-gen";

template <size_t N>
const char* Pick(std::mt19937& random, const char* const (&choices)[N])
{
    return choices[random() % N];
}

// Folders of files and folders whose names meet the engine's rules: file
// patterns, names starting with a dot, folders a file pattern matches,
// read-only and hidden files.
void MakeTree(std::mt19937& random, const std::string& folder, int depth, std::vector<std::string>& folders)
{
    static const char* const FILES[] = { "a.log", "b.txt", "c", "x.tmp", ".settings", "keep.logbook", "n.txt", "a1" };
    static const char* const FOLDERS[] = { "sub", "old.log", "deep", ".cache", "Keep", "t.tmp" };
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    folders.push_back(folder);
    for (unsigned i = random() % 5 + (depth == 0 ? 3 : 0); i > 0; --i) {
        std::string file = folder + "\\" + Pick(random, FILES);
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(WriteTextFile(file, "data"));
        static const DWORD ATTRIBUTES[] = { FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY,
                                            FILE_ATTRIBUTE_HIDDEN };
        SetFileAttributesA(file.c_str(), ATTRIBUTES[random() % 4]);
    }
    for (unsigned i = depth == 0 ? 3 : depth < 3 ? random() % 3 : 0; i > 0; --i)
        MakeTree(random, folder + "\\" + Pick(random, FOLDERS), depth + 1, folders);
}

// A configuration of the tree's folders: directory and file items that may
// overlap, protected folders, program lines of every form, and profiles,
// all at service start-up.
std::string MakeConfiguration(std::mt19937& random, const std::vector<std::string>& folders,
                              const std::vector<std::string>& profiles, const std::string& out,
                              const std::vector<std::string>& users)
{
    static const char* const PATTERNS[] = { "*.log", "*.*", "*", "?.txt", "*.tmp", "a*", "old.*" };
    static const char* const PROGRAMS[] = { "cmd /c echo ran>", "cmd.exe /c echo ran>",
                                            "\"C:\\windows\\system32\\cmd.exe\" /c echo ran>", "nosuch /c echo ran>",
                                            "C:\\windows\\system32\\cmd /c echo ran>", "promptonly /c echo ran>",
                                            "\"promptonly\" /c echo ran>", "\"C:\\nosuch\\x.exe\" /c echo ran>" };
    std::string lists = "[Profiles]\nActionTrigger=SVC_STARTUP\n", items, protect = "[DontDeleteDirs]\n";
    std::string sections[3] = { "[Directories]\n", "[Files]\n", "[Applications]\n" };
    if (random() % 2)
        lists += "Keep=" + users[random() % users.size()] + "\n";
    for (unsigned i = 0, count = 3 + random() % 5; i < count; ++i) {
        std::string name = "Item" + std::to_string(i);
        std::string folder = random() % 5 ? folders[random() % folders.size()] : profiles[random() % profiles.size()];
        unsigned kind = random() % 3;
        sections[kind] += name + "=" + name + "\n";
        items += "[" + name + "]\nActionTrigger=SVC_STARTUP\n";
        if (kind == 0)
            items += std::string("Action=") + (random() % 2 ? "DIR_EMPTY" : "DIR_DELETE") + "\nPath=" + folder
                     + (random() % 4 ? "" : "\\") + "\n";
        else if (kind == 1)
            items += "Action=FILE_DELETE\nPath=" + folder + "\\" + Pick(random, PATTERNS) + "\n";
        else
            items += "Action=APP_EXECUTE\nPath=" + std::string(Pick(random, PROGRAMS)) + out + std::to_string(i) + ".txt\n";
    }
    for (unsigned i = random() % 3; i > 0; --i)
        protect += "K" + std::to_string(i) + "=" + folders[random() % folders.size()] + "\n";
    std::string recent = "[SaveDynamicProfiles]\n";
    for (unsigned i = 0, count = 1 + random() % 2; i < count; ++i)
        recent += (random() % 4 ? "P" + std::to_string(i) : "Own" + std::to_string(i)) + "=" + users[random() % users.size()] + "\n";
    return "[Parameters]\nSaveDynamicProfiles=" + std::to_string(1 + random() % 2) + "\n" + lists + sections[0]
           + sections[1] + sections[2] + items + protect + recent;
}

// The program items of the report against what ran: each one the report
// says starts wrote its file, each one refused wrote none.
void ExpectStarted(const std::vector<std::string>& report, const std::string& out)
{
    for (size_t i = 0; i + 1 < report.size(); ++i) {
        size_t at = report[i].find(out);
        if (report[i].compare(0, 8, "  Start ") != 0 || at == std::string::npos)
            continue;
        std::string file = report[i].substr(at);
        bool starts = report[i + 1].compare(0, 11, "    starts:") == 0;
        for (int wait = 0; starts && wait < 100 && !FileExists(file); ++wait)
            Sleep(50);
        EXPECT_EQ(FileExists(file), starts) << report[i] << " / " << report[i + 1];
    }
}

} // namespace

// The preview against the service on generated trees and configurations,
// each from its own seed: what the report says start-up does is what the
// service then did.
TEST(Preview, AgreesWithTheServiceOnGeneratedTreesAndConfigurations)
{
    const std::string prompt = generated + "-prompt";
    CreateDirectoryA(prompt.c_str(), NULL);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\cmd.exe").c_str(), (prompt + "\\promptonly.exe").c_str(), FALSE));
    const std::vector<std::string> users = { "gina", "hank", "ivan", "june", "kurt" };
    // Only the profiles made here, whose folders the snapshots see.
    const std::string list = "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST\\";
    for (const std::string& key : Snapshot("", generated).keys) {
        if (key.compare(0, sid.size(), sid) == 0) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (list + key + "\\Preferences").c_str());
            EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (list + key).c_str()), ERROR_SUCCESS) << key;
        }
    }
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::vector<std::string> folders, profiles;
        const std::string tree = generated + "\\" + std::to_string(seed);
        CreateDirectoryA(generated.c_str(), NULL);
        MakeTree(random, tree, 0, folders);
        for (size_t i = 0; i < users.size(); ++i) {
            std::string key = sid + std::to_string(seed * 100 + i), folder = tree + "\\Profiles\\" + users[i];
            ASSERT_EQ(SHCreateDirectoryExA(NULL, folder.c_str(), NULL), ERROR_SUCCESS);
            ASSERT_TRUE(WriteTextFile(folder + "\\ntuser.dat", "x"));
            profiles.push_back(folder);
            AddProfile(key, folder);
            HKEY subkey;
            if (random() % 4 == 0 && RegCreateKeyExA(HKEY_LOCAL_MACHINE, (list + key + "\\Preferences").c_str(), 0, NULL, 0,
                                                     KEY_WRITE, NULL, &subkey, NULL) == ERROR_SUCCESS)
                RegCloseKey(subkey);
        }
        SetDefaultUserName(users[random() % users.size()]);
        const std::string out = generated + "-out-" + std::to_string(seed) + "-";
        const std::string folder = "C:\\Program Files\\Quillmere Generated " + std::to_string(seed);
        const std::string program = CopyFenwashTo(folder), ini = folder + "\\Fenwash.ini";
        ASSERT_TRUE(WriteTextFile(ini, MakeConfiguration(random, folders, profiles, out, users)));

        const State before = Snapshot(ini, generated);
        Report report;
        EXPECT_EQ(RunPreview(program, report, prompt), 0u);
        EXPECT_TRUE(Snapshot(ini, generated) == before) << "the preview changed something";
        std::string name = FreshServiceName("FenwashGenerated");
        ASSERT_EQ(CreateTestService(name, "\"" + program + "\" -Debug"), "");
        TraceMark mark;
        ASSERT_TRUE(StartTestService(name));
        ASSERT_TRUE(WaitForState(name, SERVICE_RUNNING));
        EXPECT_TRUE(WaitForEntry(mark, QueryStatus(name).dwProcessId, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
        const std::vector<std::string>& startup = report["At service start-up:"];
        ExpectStarted(startup, out);
        ExpectDone(startup, before, Snapshot(ini, generated));
        DWORD error;
        Control(name, SERVICE_CONTROL_STOP, &error);
        EXPECT_TRUE(WaitForState(name, SERVICE_STOPPED));
        DeleteTestService(name);
        if (HasFailure()) {
            for (const std::string& line : startup)
                printf("%s\n", line.c_str());
            break;
        }
    }
    RemoveDefaultUserName();
}
