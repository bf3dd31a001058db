// Fenwash -Preview against the real service on one tree: what the report says
// each event would do is what the service then does at that event, and the
// preview itself leaves the tree, the profile keys and the INI file as they were.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

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
const char profileList[] = "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST";

// Every entry below the folder, as path -> kind (f file, d folder, l link) and
// size; a link is not entered.
void List(const std::string& folder, std::map<std::string, std::string>& entries)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..")
            continue;
        bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        bool dir = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries[path] = std::string(link ? "l" : dir ? "d" : "f") + std::to_string(found.nFileSizeLow);
        if (dir && !link)
            List(path, entries);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// The tree, the profile keys with their folders, and the INI file's bytes.
std::string Snapshot(const std::string& ini)
{
    std::map<std::string, std::string> entries;
    List(root, entries);
    std::string text;
    for (const auto& entry : entries)
        text += entry.first + "=" + entry.second + "\n";
    HKEY list, profile;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, profileList, 0, KEY_READ, &list);
    char key[MAX_PATH], image[MAX_PATH];
    for (DWORD i = 0, size = MAX_PATH; RegEnumKeyExA(list, i, key, &size, NULL, NULL, NULL, NULL) == 0; ++i, size = MAX_PATH) {
        DWORD imageSize = MAX_PATH;
        image[0] = '\0';
        if (RegOpenKeyExA(list, key, 0, KEY_READ, &profile) == 0) {
            RegQueryValueExA(profile, "ProfileImagePath", NULL, NULL, (BYTE*)image, &imageSize);
            RegCloseKey(profile);
        }
        text += std::string("key ") + key + "=" + image + "\n";
    }
    RegCloseKey(list);
    std::string bytes(65536, '\0');
    HANDLE file = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD read = 0;
    ReadFile(file, &bytes[0], (DWORD)bytes.size(), &read, NULL);
    CloseHandle(file);
    return text + "ini=" + bytes.substr(0, read);
}

std::set<std::string> Removed(const std::string& before, const std::string& after)
{
    std::set<std::string> removed;
    for (size_t at = 0, end; (end = before.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = before.substr(at, end - at + 1);
        if (after.find(line) == std::string::npos && line.compare(0, root.size() + 1, root + "\\") == 0)
            removed.insert(line.substr(0, line.find('=')) + "=" + line[line.find('=') + 1]);
    }
    return removed;
}

// Fenwash.exe -Preview with its standard output in a file: the exit code and
// the report, one entry per line, under the heading of its event.
DWORD RunPreview(const std::string& program, std::map<std::string, std::vector<std::string>>& events)
{
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, NULL, TRUE };
    const std::string reportPath = "C:\\preview-report.txt";
    HANDLE report = CreateFileA(reportPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = report;
    std::string line = "\"" + program + "\" -Debug -Preview";
    PROCESS_INFORMATION info;
    DWORD code = (DWORD)-1;
    if (CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info)) {
        WaitForSingleObject(info.hProcess, 60000);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(report);
    char text[65536] = {};
    HANDLE file = CreateFileA(reportPath.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, NULL);
    CloseHandle(file);
    std::string event;
    for (char* part = strtok(text, "\r\n"); part != NULL; part = strtok(NULL, "\r\n")) {
        if (part[0] != ' ')
            events[event = part];
        else
            events[event].push_back(part);
    }
    return code;
}

// Checks the event's report against what the service did in it: the sum of
// its removals, the files named, what it said stays, the profile keys, the start.
void ExpectDone(const std::vector<std::string>& report, const std::string& before, const std::string& after)
{
    std::set<std::string> removed = Removed(before, after);
    std::map<char, size_t> counted;
    for (const std::string& entry : removed)
        ++counted[entry.back()];
    unsigned long files = 0, folders = 0, links = 0;
    for (const std::string& line : report) {
        unsigned long f, d, l;
        if (sscanf(line.c_str(), "    removes: files %lu, folders %lu, links %lu", &f, &d, &l) == 3)
            files += f, folders += d, links += l;
        if (line.compare(0, 10, "    file: ") == 0) {
            EXPECT_EQ(removed.count(line.substr(10) + "=f"), 1u) << line;
        }
        if (line.compare(0, 10, "    left: ") == 0 && line[10] == 'C') {
            std::string path = line.substr(10, line.find(" (") - 10);
            EXPECT_NE(after.find(path.back() == '\\' ? path.substr(0, path.size() - 1) + "=" : path + "="),
                      std::string::npos) << line;
        }
        size_t key = line.find(sid);
        std::string keyLine = key != std::string::npos ? "key " + line.substr(key, line.find(')') - key) + "=" : "";
        if (line.compare(0, 9, "    keeps") == 0 && !keyLine.empty()) {
            EXPECT_NE(after.find(keyLine), std::string::npos) << line;
        }
        if (line.compare(0, 11, "    deletes") == 0) {
            EXPECT_EQ(after.find(keyLine), std::string::npos) << line;
        }
    }
    EXPECT_EQ(counted['f'], files);
    EXPECT_EQ(counted['d'], folders);
    // The link's removal is not compared: Wine looks through a link to a
    // folder, so it removes an empty target and cannot remove one that holds
    // something, where the terminal's platform removes the link alone. The
    // target's files are in the counts above, followed or not.
    EXPECT_LE(counted['l'], links);
}

bool Has(const std::vector<std::string>& report, const std::string& line)
{
    for (const std::string& entry : report)
        if (entry == line)
            return true;
    return false;
}

} // namespace

TEST(Preview, ReportsWhatEachEventOfTheServiceThenDoes)
{
    for (const char* folder : { "\\Temp\\sub\\deep", "\\Temp\\keep", "\\Gone\\x", "\\Logs", "\\target",
                                "\\Profiles\\gone.user\\Desktop", "\\Profiles\\alice", "\\Profiles\\bob",
                                "\\Profiles\\carol", "\\Profiles\\dave", "\\Profiles\\Administrator.000" })
        ASSERT_EQ(SHCreateDirectoryExA(NULL, (root + folder).c_str(), NULL), ERROR_SUCCESS) << folder;
    for (const char* file : { "\\Temp\\a.txt", "\\Temp\\sub\\deep\\b.txt", "\\Temp\\keep\\c.txt", "\\Temp\\.settings",
                              "\\Gone\\x\\y.txt", "\\target\\t.txt", "\\Logs\\one.log", "\\Logs\\two.log", "\\Logs\\keep.txt",
"\\Profiles\\gone.user\\Desktop\\n.lnk", "\\Profiles\\dave\\d.dat",
                              "\\Profiles\\alice\\a.dat" })
        ASSERT_TRUE(WriteTextFile(root + file, "data"));
    ASSERT_TRUE(MakeUnixLink(root + "\\Temp\\lnk", root + "\\target"));
    const char* names[] = { "gone.user", "alice", "bob", "carol", "dave", "Administrator.000", ".." };
    for (int i = 0; i < 7; ++i)
        AddProfile(sid + std::to_string(1001 + i), root + "\\Profiles\\" + names[i]);
    AddProfile("S-1-5-18", root + "\\Profiles\\dave");
    SetDefaultUserName("carol");

    const std::string home = "C:\\Program Files\\Quillmere Preview";
    std::string program = CopyFenwashTo(home);
    ASSERT_FALSE(program.empty());
    const std::string ini = home + "\\Fenwash.ini";
    ASSERT_TRUE(WriteTextFile(ini,
        "[Parameters]\r\nSaveDynamicProfiles=2\r\n[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nKeep=alice\r\n"
        "[Directories]\r\n1=Temp\r\n2=Windows\r\n3=Gone\r\n4=Relative\r\n"
        "[Temp]\r\nPath=C:\\preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Windows]\r\nPath=C:\\windows\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Gone]\r\nPath=C:\\preview\\Gone\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Relative]\r\nPath=preview\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Files]\r\n1=Logs\r\n[Logs]\r\nPath=C:\\preview\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Applications]\r\n1=Echo\r\n2=Missing\r\n"
        "[Echo]\r\nPath=C:\\windows\\system32\\cmd.exe /c echo started>" + started + "\r\n"
        "Action=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Missing]\r\nPath=C:\\preview\\nothing.exe\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[DontDeleteDirs]\r\n1=C:\\preview\\Temp\\keep\r\n[SaveDynamicProfiles]\r\nP0=dave\r\nP1=bob\r\n"));

    std::string before = Snapshot(ini);
    std::map<std::string, std::vector<std::string>> events;
    EXPECT_EQ(RunPreview(program, events), 0u);
    Sleep(1000);
    EXPECT_EQ(Snapshot(ini), before) << "the preview changed the tree, a profile key or the INI file";
    EXPECT_FALSE(FileExists(started)) << "the preview started a program";
    const auto& startup = events["At service start-up:"];
    const auto& logoff = events["At logoff:"];
    const auto& shutdown = events["At shutdown:"];
    // The decisions and their reasons as the report gives them.
    EXPECT_TRUE(Has(startup, "    link removed, not followed: C:\\preview\\Temp\\lnk"));
    EXPECT_TRUE(Has(startup, "    starts: \"C:\\windows\\system32\\cmd.exe\" /c echo started>" + started));
    EXPECT_TRUE(Has(startup, "    refused: no program file found (an unquoted one must end in .exe, .com, .bat or .cmd)"));
    EXPECT_TRUE(Has(logoff, "    refused: the system directory, a folder holding it or the start of its name"));
    EXPECT_TRUE(Has(shutdown, "    refused: not a full local path"));
    EXPECT_TRUE(Has(logoff, "    keeps alice (" + sid + "1002): [Profiles]"));
    EXPECT_TRUE(Has(logoff, "    keeps bob (" + sid + "1003): [SaveDynamicProfiles]"));
    EXPECT_TRUE(Has(logoff, "    keeps carol (" + sid + "1004): the user remembered at this event"));
    EXPECT_TRUE(Has(logoff, "    keeps Administrator (" + sid + "1006): fixed keep-list"));
    EXPECT_TRUE(Has(logoff, "    keeps (" + sid + "1007): an empty name"));
    EXPECT_TRUE(Has(logoff, "    keeps dave (S-1-5-18): not a user account"));
    EXPECT_TRUE(Has(logoff, "    deletes dave (" + sid + "1005)")) << "pushed out of the two recent users by carol";
    EXPECT_TRUE(Has(logoff, "    deletes gone (" + sid + "1001)"));

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
    std::string afterStartup = Snapshot(ini);
    ExpectDone(startup, before, afterStartup);
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    std::string afterLogoff = Snapshot(ini);
    ExpectDone(logoff, afterStartup, afterLogoff);
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_SHUTDOWN_EVENT));
    ExpectDone(shutdown, afterLogoff, Snapshot(ini));
    DWORD error;
    Control(name, SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState(name, SERVICE_STOPPED));
    DeleteTestService(name);
    for (const std::string& key : { sid + "1002", sid + "1003", sid + "1004", sid + "1006", sid + "1007",
                                    std::string("S-1-5-18") })
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(profileList) + "\\" + key).c_str());
    RemoveDefaultUserName();
}

TEST(Preview, ExitsWithOneWhenTheConfigurationCannotBeRead)
{
    std::string program = CopyFenwashTo("C:\\Program Files\\Quillmere No Ini");
    ASSERT_FALSE(program.empty());
    std::map<std::string, std::vector<std::string>> events;
    EXPECT_EQ(RunPreview(program, events), 1u);
    EXPECT_EQ(events.count("The configuration could not be read; the service would run on its start values."), 1u);
    EXPECT_EQ(events.count("At shutdown:"), 1u) << "what the service would do is still shown";
}
