// The one event log entry Fenwash leaves after each event, read back from the
// session trace of the real service: its figures against the tree before and
// after the event, its type, and [Parameters] EventSummary.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ServiceTestSupport.h"
#include "TestProfiles.h"

namespace {

const std::string root = "C:\\summary";
const std::string started = "C:\\summary-started.txt";
const std::string sid = "S-1-5-21-8-8-8-";
const char profileList[] = "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST";

struct Tree
{
    std::set<std::string> files, folders;

    void List(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
            std::string name = found.cFileName, path = folder + "\\" + name;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.insert(path);
                List(path);
            } else {
                files.insert(path);
            }
        }
        FindClose(find);
    }
};

Tree Snapshot()
{
    Tree tree;
    tree.List(root);
    return tree;
}

size_t Gone(const std::set<std::string>& before, const std::set<std::string>& after)
{
    size_t gone = 0;
    for (const std::string& path : before)
        gone += after.count(path) == 0;
    return gone;
}

size_t CountProfileKeys()
{
    HKEY list;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, profileList, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(list, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    RegCloseKey(list);
    return count;
}

// The entry's figures by "HEADING/LABEL" ("Removed/files", "Left/protected
// folders", "Programs started/"); a figure the entry does not name is 0.
typedef std::map<std::string, unsigned long> Figures;

Figures ReadFigures(const std::string& text)
{
    Figures figures;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 2;
        size_t colon = line.find(": ");
        if (colon == std::string::npos || line.back() != '.')
            continue;
        std::string heading = line.substr(0, colon), items = line.substr(colon + 2, line.size() - colon - 3);
        for (size_t from = 0; from <= items.size();) {
            size_t comma = items.find(", ", from);
            std::string item = items.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            from = comma == std::string::npos ? items.size() + 1 : comma + 2;
            size_t blank = item.rfind(' ');
            std::string number = item.substr(blank == std::string::npos ? 0 : blank + 1);
            if (number.find_first_not_of("0123456789") == std::string::npos && !number.empty())
                figures[heading + "/" + (blank == std::string::npos ? "" : item.substr(0, blank))] = std::stoul(number);
        }
    }
    return figures;
}

// Waits for the service's entries of source Fenwash with an event's
// identifier (1 to 3) since the mark; they are returned once one has come.
std::vector<EventLogEntry> SummaryEntries(const TraceMark& mark, DWORD processId, unsigned long id,
                                          DWORD timeoutMs = 20000)
{
    std::vector<EventLogEntry> summaries;
    for (DWORD waited = 0;; waited += 100) {
        for (const EventLogEntry& entry : mark.NewEntriesOf(processId)) {
            if (IsEventSummary(entry) && entry.id == id)
                summaries.push_back(entry);
        }
        if (!summaries.empty() || waited >= timeoutMs)
            return summaries;
        Sleep(100);
    }
}

// The one summary of the event, its text whole.
Figures OneSummary(const std::vector<EventLogEntry>& summaries, unsigned expectedType, const char* event)
{
    EXPECT_EQ(summaries.size(), 1u) << event;
    if (summaries.size() != 1 || summaries[0].strings.size() != 1)
        return Figures();
    const EventLogEntry& entry = summaries[0];
    EXPECT_EQ(entry.type, expectedType) << entry.strings[0];
    EXPECT_FALSE(entry.truncated) << "the trace cut the text: " << entry.strings[0];
    EXPECT_EQ(entry.strings[0].compare(0, 11 + strlen(event), std::string("Cleanup at ") + event), 0) << entry.strings[0];
    return ReadFigures(entry.strings[0]);
}

unsigned long Figure(const Figures& figures, const std::string& name)
{
    auto found = figures.find(name);
    return found == figures.end() ? 0 : found->second;
}

// What every event's figures must agree with: what left the tree.
void ExpectRemovals(const Figures& figures, const Tree& before, const Tree& after)
{
    ASSERT_EQ(figures.count("Removed/files") + figures.count("Removed/folders") + figures.count("Removed/links"), 3u)
        << "the removals are always named";
    EXPECT_EQ(figures.at("Removed/files"), Gone(before.files, after.files));
    EXPECT_EQ(figures.at("Removed/folders"), Gone(before.folders, after.folders));
    EXPECT_EQ(figures.at("Removed/links"), 0u);
}

std::string StartService(const std::string& program, const std::string& arguments, DWORD* processId,
                         TraceMark& mark)
{
    std::string name = FreshServiceName("FenwashSummary");
    EXPECT_EQ(CreateTestService(name, "\"" + program + "\"" + arguments), "");
    mark = TraceMark();
    EXPECT_TRUE(StartTestService(name));
    EXPECT_TRUE(WaitForState(name, SERVICE_RUNNING));
    *processId = QueryStatus(name).dwProcessId;
    return name;
}

void StopService(const std::string& name)
{
    DWORD error;
    Control(name, SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState(name, SERVICE_STOPPED));
    DeleteTestService(name);
}

} // namespace

TEST(EventSummary, OneEntryAfterEachEventTellsWhatItDid)
{
    for (const char* folder : { "\\Temp\\sub\\deep", "\\Temp\\keep", "\\Logs\\old.log", "\\Gone\\sub",
                                "\\Profiles\\gone.user\\Desktop", "\\Profiles\\alice" })
        ASSERT_EQ(SHCreateDirectoryExA(NULL, (root + folder).c_str(), NULL), ERROR_SUCCESS) << folder;
    for (const char* file : { "\\Temp\\a.txt", "\\Temp\\sub\\b.txt", "\\Temp\\sub\\deep\\c.txt", "\\Temp\\.settings",
                              "\\Temp\\keep\\k.txt", "\\Logs\\one.log", "\\Logs\\two.log", "\\Logs\\keep.txt",
                              "\\Gone\\held.txt", "\\Gone\\y.txt", "\\Gone\\sub\\z.txt",
                              "\\Profiles\\gone.user\\Desktop\\n.lnk", "\\Profiles\\alice\\a.dat" })
        ASSERT_TRUE(WriteTextFile(root + file, "data"));
    AddProfile(sid + "1001", root + "\\Profiles\\gone.user");
    AddProfile(sid + "1002", root + "\\Profiles\\alice");
    SetDefaultUserName("alice");
    const std::string folder = "C:\\Program Files\\Quillmere Summary";
    const std::string program = CopyFenwashTo(folder);
    ASSERT_TRUE(WriteTextFile(folder + "\\Fenwash.ini",
        "[Parameters]\r\nSaveDynamicProfiles=2\r\n[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nKeep=alice\r\n"
        "[Directories]\r\n1=Temp\r\n2=Windows\r\n3=Gone\r\n[Files]\r\n1=Logs\r\n[Applications]\r\n1=Echo\r\n2=None\r\n"
        "[Temp]\r\nPath=" + root + "\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Logs]\r\nPath=" + root + "\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Echo]\r\nPath=cmd /c echo started>" + started + "\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n"
        "[Windows]\r\nPath=C:\\windows\r\nAction=DIR_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[None]\r\nPath=" + root + "\\nothing.exe\r\nAction=APP_EXECUTE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Gone]\r\nPath=" + root + "\\Gone\r\nAction=DIR_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[DontDeleteDirs]\r\n1=" + root + "\\Temp\\keep\r\n[SaveDynamicProfiles]\r\nP0=bob\r\n"));

    // Without -Debug: the summaries are the entries written in every case.
    TraceMark mark, whole;
    DWORD pid = 0;
    const Tree before = Snapshot();
    std::string name = StartService(program, "", &pid, mark);

    // Start-up: everything went or was left on purpose, so information.
    Figures startup = OneSummary(SummaryEntries(mark, pid, 1), EVENTLOG_INFORMATION_TYPE, "service start-up");
    const Tree afterStartup = Snapshot();
    ExpectRemovals(startup, before, afterStartup);
    EXPECT_EQ(Gone(before.files, afterStartup.files), 5u) << "a.txt, b.txt, c.txt, one.log, two.log";
    EXPECT_EQ(Figure(startup, "Left/protected folders"), 1u);
    EXPECT_EQ(afterStartup.files.count(root + "\\Temp\\keep\\k.txt"), 1u);
    EXPECT_EQ(Figure(startup, "Left/names starting with a dot"), 1u);
    EXPECT_EQ(afterStartup.files.count(root + "\\Temp\\.settings"), 1u);
    EXPECT_EQ(Figure(startup, "Left/folders matched by a file pattern"), 1u);
    EXPECT_EQ(afterStartup.folders.count(root + "\\Logs\\old.log"), 1u);
    EXPECT_EQ(Figure(startup, "Programs started/"), 1u);
    for (int i = 0; i < 100 && !FileExists(started); ++i)
        Sleep(100);
    EXPECT_TRUE(FileExists(started)) << "the program counted as started did not run";
    EXPECT_EQ(Figure(startup, "Profiles/deleted") + Figure(startup, "Profiles/kept"), 0u) << "not at start-up";

    // Logoff: a system folder and a program refused, a warning; one profile
    // deleted with its folder, every other one kept.
    size_t keysBefore = CountProfileKeys();
    mark = TraceMark();
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    Figures logoff = OneSummary(SummaryEntries(mark, pid, 2), EVENTLOG_WARNING_TYPE, "logoff");
    const Tree afterLogoff = Snapshot();
    ExpectRemovals(logoff, afterStartup, afterLogoff);
    EXPECT_EQ(Figure(logoff, "Refused/system folders"), 1u);
    EXPECT_EQ(Figure(logoff, "Refused/programs"), 1u);
    EXPECT_FALSE(ProfileKeyExists(sid + "1001"));
    EXPECT_TRUE(ProfileKeyExists(sid + "1002"));
    EXPECT_EQ(Figure(logoff, "Profiles/deleted"), keysBefore - CountProfileKeys());
    EXPECT_EQ(Figure(logoff, "Profiles/deleted"), 1u);
    EXPECT_EQ(Figure(logoff, "Profiles/kept"), keysBefore - 1) << "the terminal's own profiles are kept too";
    EXPECT_EQ(afterLogoff.folders.count(root + "\\Profiles\\gone.user"), 0u);

    // Shutdown: a file held open without delete sharing stays; the failure
    // makes the entry a warning, and its folder stays with it.
    HANDLE held = CreateFileA((root + "\\Gone\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    mark = TraceMark();
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_SHUTDOWN_EVENT));
    Figures shutdown = OneSummary(SummaryEntries(mark, pid, 3), EVENTLOG_WARNING_TYPE, "shutdown");
    CloseHandle(held);
    const Tree afterShutdown = Snapshot();
    ExpectRemovals(shutdown, afterLogoff, afterShutdown);
    EXPECT_EQ(Figure(shutdown, "Removed/files"), 2u) << "y.txt and sub\\z.txt";
    EXPECT_EQ(Figure(shutdown, "Failed/removals"), 1u);
    EXPECT_EQ(afterShutdown.files.count(root + "\\Gone\\held.txt"), 1u);
    EXPECT_EQ(afterShutdown.folders.count(root + "\\Gone"), 1u);

    // One entry per event; without -Debug the service writes nothing else
    // but the warnings of its start (a file of its own open to others).
    size_t summaries = 0;
    for (const EventLogEntry& entry : whole.NewEntriesOf(pid)) {
        bool summary = IsEventSummary(entry);
        summaries += summary;
        if (!summary) {
            EXPECT_EQ(entry.type, (unsigned)EVENTLOG_WARNING_TYPE) << entry.source << ": " << entry.strings[0];
        }
    }
    EXPECT_EQ(summaries, 3u);
    StopService(name);
    RemoveDefaultUserName();
}

TEST(EventSummary, OnlyEventSummaryZeroTurnsItOff)
{
    const std::string program = CopyFenwashTo("C:\\Program Files\\Quillmere Summary Off");
    const std::string ini = "C:\\Program Files\\Quillmere Summary Off\\Fenwash.ini";
    const std::vector<std::pair<std::string, size_t>> cases = {
        { "EventSummary=0\r\n", 0 }, { "EventSummary=no\r\n", 1 }, { "EventSummary=1\r\n", 1 }, { "", 1 } };
    for (const auto& line : cases) {
        SCOPED_TRACE(line.first);
        ASSERT_TRUE(WriteTextFile(ini, "[Parameters]\r\nCleanProfiles=0\r\n" + line.first));
        TraceMark mark;
        DWORD pid = 0;
        std::string name = StartService(program, " -Debug", &pid, mark);
        // -Debug says when the event is over; its lines stay as they were.
        EXPECT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
        ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
        EXPECT_TRUE(WaitForEntry(mark, pid, "ProcessLogoffEvent: Exiting ProcessLogoffEvent"));
        EXPECT_EQ(SummaryEntries(mark, pid, 1, line.second ? 20000 : 0).size(), line.second);
        EXPECT_EQ(SummaryEntries(mark, pid, 2, line.second ? 20000 : 0).size(), line.second);
        StopService(name);
    }
}

// The program is the message file of its source: the viewer gives each
// identifier's text as the entry holds it.
TEST(EventSummary, TheProgramCarriesTheMessageOfEachIdentifier)
{
    const std::string program = CopyFenwashTo("C:\\Program Files\\Quillmere Summary Messages");
    HMODULE module = LoadLibraryExA(program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    for (DWORD id = 0; id <= 3; ++id) {
        const char* text = "Cleanup at logoff: 3 ms.\r\nRemoved: files 1, folders 0, links 0.";
        DWORD_PTR arguments[] = { (DWORD_PTR)text };
        char shown[512] = "";
        DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id, 0, shown,
                                      sizeof shown, (va_list*)arguments);
        EXPECT_EQ(std::string(shown, length), text) << "id " << id;
    }
    FreeLibrary(module);
}
