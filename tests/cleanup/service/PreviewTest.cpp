// Fenwash -Preview against the real service on one tree: what the report says
// each event would do is what the service then does at that event, and the
// preview itself leaves the tree, the profile keys and the INI file as they were.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

State Snapshot(const std::string& ini)
{
    State state;
    state.List(root);
    HKEY list;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST", 0, KEY_READ, &list);
    char key[MAX_PATH];
    for (DWORD i = 0, size = MAX_PATH; RegEnumKeyExA(list, i, key, &size, NULL, NULL, NULL, NULL) == 0; ++i, size = MAX_PATH)
        state.keys.insert(key);
    RegCloseKey(list);
    state.ini = ReadTextFile(ini);
    return state;
}

// Fenwash.exe -Preview redirected to a file, as an administrator runs it.
DWORD RunPreview(const std::string& program, Report& report)
{
    const std::string path = "C:\\preview-report.txt";
    DWORD code = RunAndWait("cmd /c \"\"" + program + "\" -Debug -Preview > " + path + "\"");
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
            std::string key = line.substr(at, line.find(')') - at);
            EXPECT_EQ(after.keys.count(key), line.compare(0, 9, "    keeps") == 0 ? 1u : 0u) << line;
        }
    }
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
    for (const char* folder : { "\\Temp\\sub\\deep", "\\Temp\\keep", "\\Gone\\x", "\\Logs", "\\target",
                                "\\Profiles\\gone.user\\Desktop", "\\Profiles\\dave" })
        ASSERT_EQ(SHCreateDirectoryExA(NULL, (root + folder).c_str(), NULL), ERROR_SUCCESS) << folder;
    for (const char* file : { "\\Temp\\a.txt", "\\Temp\\sub\\deep\\b.txt", "\\Temp\\keep\\c.txt", "\\Temp\\.settings",
                              "\\Gone\\x\\y.txt", "\\Gone\\x\\.keep", "\\target\\t.txt", "\\Logs\\one.log", "\\Logs\\two.log",
                              "\\Logs\\keep.txt", "\\Profiles\\gone.user\\Desktop\\n.lnk", "\\Profiles\\dave\\d.dat" })
        ASSERT_TRUE(WriteTextFile(root + file, "data"));
    ASSERT_TRUE(MakeUnixLink(root + "\\Temp\\lnk", root + "\\target"));
    const char* names[] = { "gone.user", "alice", "bob", "carol", "dave", "Administrator.000", ".." };
    for (int i = 0; i < 7; ++i)
        AddProfile(sid + std::to_string(1001 + i), root + "\\Profiles\\" + names[i]);
    AddProfile("S-1-5-18", root + "\\Profiles\\dave");
    SetDefaultUserName("carol");
    const std::string program = CopyFenwashTo("C:\\Program Files\\Quillmere Preview");
    const std::string ini = "C:\\Program Files\\Quillmere Preview\\Fenwash.ini";
    ASSERT_TRUE(WriteTextFile(ini,
        "[Parameters]\r\nSaveDynamicProfiles=2\r\n[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nKeep=alice\r\n"
        "[Directories]\r\n1=Temp\r\n2=Windows\r\n3=Gone\r\n4=Relative\r\n[Files]\r\n1=Logs\r\n[Applications]\r\n1=Echo\r\n2=None\r\n"
        "[Temp]\r\nPath=C:\\preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Windows]\r\nPath=C:\\windows\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Gone]\r\nPath=C:\\preview\\Gone\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Relative]\r\nPath=preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Logs]\r\nPath=C:\\preview\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Echo]\r\nPath=C:\\windows\\system32\\cmd.exe /c echo started>" + started + "\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[None]\r\nPath=C:\\preview\\nothing.exe\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[DontDeleteDirs]\r\n1=C:\\preview\\Temp\\keep\r\n[SaveDynamicProfiles]\r\nP0=dave\r\nP1=bob\r\n"));

    const State before = Snapshot(ini);
    Report report;
    EXPECT_EQ(RunPreview(program, report), 0u);
    Sleep(1000);
    EXPECT_TRUE(Snapshot(ini) == before) << "the preview changed the tree, a profile key or the INI file";
    EXPECT_FALSE(FileExists(started)) << "the preview started a program";
    // The decisions and their reasons as the report gives them.
    const char* startup = "At service start-up:";
    const char* logoff = "At logoff:";
    const std::vector<std::pair<const char*, std::string>> expected = {
        { startup, "    link removed, not followed: C:\\preview\\Temp\\lnk" },
        { startup, "    starts: \"C:\\windows\\system32\\cmd.exe\" /c echo started>" + started },
        { startup, "    refused: no program file found (an unquoted one must end in .exe, .com, .bat or .cmd)" },
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
    };
    for (const auto& line : expected) {
        const std::vector<std::string>& lines = report[line.first];
        EXPECT_NE(std::find(lines.begin(), lines.end(), line.second), lines.end()) << line.second;
    }

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
