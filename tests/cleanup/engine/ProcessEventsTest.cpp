// Whole events: the order of the lists, the messages, and events that arrive
// together from several threads.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "EngineFiles.h"
#include "TerminalTrace.h"
#include "TestProfiles.h"
#include "config/Configuration.h"
#include "engine/EventProcessing.h"
#include "service/LogMessage.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Messages;

const char* const EVENT_SOURCES[] = { "ProcessServiceStartup", "ProcessLogoffEvent", "ProcessShutdownEvent",
                                      "ProcessEvents", "ProcessEvent", "ProcessingProfile" };

// The engine's own messages since the mark, as (source, text).
Messages EngineMessages(const TraceMark& mark)
{
    Messages messages;
    for (const EventLogEntry& entry : mark.NewEntries()) {
        for (const char* source : EVENT_SOURCES) {
            if (entry.source == source)
                messages.push_back({ entry.source, entry.strings.at(0) });
        }
    }
    return messages;
}

bool WaitFor(const std::string& path)
{
    for (int i = 0; i < 500 && !Exists(path); ++i)
        Sleep(20);
    return Exists(path);
}

const char APP1[] = "B:\\wait_child.exe C:\\engine\\ev\\app1 engine-events-release";
const char APP2[] = "B:\\wait_child.exe C:\\engine\\ev\\app2 engine-events-release";

// Empties tmp at logoff, deletes logs at shutdown, starts two programs at
// start-up, cleans profiles at logoff.
class ProcessEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = FreshFolder("ev");
        MakeFolder(m_dir + "\\tmp");
        MakeFile(m_dir + "\\tmp\\t.txt");
        MakeFolder(m_dir + "\\logs");
        MakeFile(m_dir + "\\logs\\a.log");
        MakeFolder(m_dir + "\\stranger");
        MakeFile(m_dir + "\\stranger\\ntuser.dat");
        ClearProfileList();
        AddProfile("S-1-5-21-1-2-3-stranger", m_dir + "\\stranger");
        SetDefaultUserName("kiosk-user");
        m_release = CreateEventA(NULL, TRUE, FALSE, "engine-events-release");
    }
    void TearDown() override
    {
        SetEvent(m_release);
        CloseHandle(m_release);
        logDisabled = 1;
    }
    void Configure(const std::string& parameters)
    {
        std::string ini = m_dir + "\\Fenwash.ini";
        WriteTextFile(ini, "[Parameters]\n" + parameters +
                           "[Profiles]\nActionTrigger=USER_LOGOFF\nK=kiosk\n"
                           "[Directories]\nD=TmpDir\n"
                           "[TmpDir]\nPath=" + m_dir + "\\tmp\nAction=DIR_EMPTY\nActionTrigger=USER_LOGOFF\n"
                           "[Files]\nF=Logs\n"
                           "[Logs]\nPath=" + m_dir + "\\logs\\*.log\nAction=FILE_DELETE\nActionTrigger=USER_SHUTDOWN\n"
                           "[Applications]\nA1=App1\nA2=App2\n"
                           "[App1]\nPath=" + APP1 + "\nAction=APP_EXECUTE\nActionTrigger=SVC_STARTUP\n"
                           "[App2]\nPath=" + APP2 + "\nAction=APP_EXECUTE\nActionTrigger=svc_startup\n"
                           "[SaveDynamicProfiles]\nP0=seed\n");
        LoadConfigurationFrom(ini.c_str());
        logDisabled = 0;
    }

    std::string m_dir;
    HANDLE m_release;
};

} // namespace

TEST_F(ProcessEventsTest, LogoffEmptiesDirectoriesAndCleansProfiles)
{
    Configure("CleanProfiles=1\n");
    TraceMark mark;
    ProcessEvents(USER_LOGOFF);
    Messages expected = {
        { "ProcessLogoffEvent", "Entering ProcessLogoffEvent" },
        { "ProcessEvent", "Deleting Directory Contents of: " + m_dir + "\\tmp" },
        { "ProcessEvents", "Processing File: " + m_dir + "\\logs\\*.log" },
        { "ProcessEvents", std::string("Processing App: ") + APP1 },
        { "ProcessEvents", std::string("Processing App: ") + APP2 },
        { "ProcessEvent", "Profile item event: 2; System event: 2" },
        { "ProcessEvent", "Processing profiles: USER_LOGOFF" },
        { "ProcessingProfile", "Deleting profile info for: stranger" },
        { "ProcessLogoffEvent", "Exiting ProcessLogoffEvent" },
    };
    EXPECT_EQ(EngineMessages(mark), expected);
    EXPECT_EQ(CountEntries(m_dir + "\\tmp"), 0);
    EXPECT_TRUE(Exists(m_dir + "\\logs\\a.log"));
    EXPECT_FALSE(Exists(m_dir + "\\stranger"));
    EXPECT_FALSE(ProfileKeyExists("S-1-5-21-1-2-3-stranger"));
    EXPECT_FALSE(Exists(m_dir + "\\app1.started"));
    EXPECT_EQ(DynamicSection(), "P0=kiosk-user");
}

TEST_F(ProcessEventsTest, StartupStartsBothProgramsWithoutWaiting)
{
    Configure("CleanProfiles=1\n");
    TraceMark mark;
    ProcessEvents(SVC_STARTUP);
    // Both programs wait for the release: the second started while the first ran.
    EXPECT_TRUE(WaitFor(m_dir + "\\app1.started"));
    EXPECT_TRUE(WaitFor(m_dir + "\\app2.started"));
    EXPECT_FALSE(Exists(m_dir + "\\app1.done"));
    SetEvent(m_release);
    EXPECT_TRUE(WaitFor(m_dir + "\\app1.done"));
    EXPECT_TRUE(WaitFor(m_dir + "\\app2.done"));

    Messages expected = {
        { "ProcessServiceStartup", "Entering ProcessServiceStartup" },
        { "ProcessEvents", "Processing File: " + m_dir + "\\logs\\*.log" },
        { "ProcessEvents", std::string("Processing App: ") + APP1 },
        { "ProcessEvent", std::string("Executing applications matching: ") + APP1 },
        { "ProcessEvents", std::string("Processing App: ") + APP2 },
        { "ProcessEvent", std::string("Executing applications matching: ") + APP2 },
        { "ProcessEvent", "Profile item event: 2; System event: 1" },
        { "ProcessServiceStartup", "Exiting ProcessServiceStartup" },
    };
    EXPECT_EQ(EngineMessages(mark), expected);
    EXPECT_TRUE(Exists(m_dir + "\\tmp\\t.txt"));
    EXPECT_TRUE(Exists(m_dir + "\\stranger\\ntuser.dat"));
    EXPECT_EQ(DynamicSection(), "P0=kiosk-user");
}

TEST_F(ProcessEventsTest, ShutdownDeletesFilesAndProfileCleanupCanBeOff)
{
    Configure("CleanProfiles=2\n");
    TraceMark mark;
    ProcessEvents(USER_SHUTDOWN);
    Messages expected = {
        { "ProcessShutdownEvent", "Entering ProcessShutdownEvent" },
        { "ProcessEvents", "Processing File: " + m_dir + "\\logs\\*.log" },
        { "ProcessEvent", "Deleting files matching: " + m_dir + "\\logs\\*.log" },
        { "ProcessEvents", std::string("Processing App: ") + APP1 },
        { "ProcessEvents", std::string("Processing App: ") + APP2 },
        { "ProcessShutdownEvent", "Exiting ProcessShutdownEvent" },
    };
    EXPECT_EQ(EngineMessages(mark), expected);
    EXPECT_FALSE(Exists(m_dir + "\\logs\\a.log"));
    EXPECT_TRUE(Exists(m_dir + "\\tmp\\t.txt"));
}

TEST_F(ProcessEventsTest, AProtectedDirectoryItemIsPassedOverWithoutAMessage)
{
    std::string ini = m_dir + "\\Fenwash.ini";
    WriteTextFile(ini, "[Directories]\nD=Win\nE=Root\nF=Slashes\nG=Up\n"
                       "[Win]\nPath=C:\\WINDOWS\nAction=DIR_DELETE\nActionTrigger=USER_LOGOFF\n"
                       "[Root]\nPath=C:\\\nAction=DIR_EMPTY\nActionTrigger=USER_LOGOFF\n"
                       "[Slashes]\nPath=C:/windows/\nAction=DIR_EMPTY\nActionTrigger=USER_LOGOFF\n"
                       "[Up]\nPath=C:\\windows\\system32\\drivers\\..\nAction=DIR_EMPTY\nActionTrigger=USER_LOGOFF\n");
    LoadConfigurationFrom(ini.c_str());
    logDisabled = 0;
    const int windowsEntries = CountEntries("C:\\windows");
    const int systemEntries = CountEntries("C:\\windows\\system32");
    TraceMark mark;
    ProcessEvents(USER_LOGOFF);
    Messages expected = {
        { "ProcessLogoffEvent", "Entering ProcessLogoffEvent" },
        { "ProcessEvent", "Profile item event: 0; System event: 2" },
        { "ProcessLogoffEvent", "Exiting ProcessLogoffEvent" },
    };
    EXPECT_EQ(EngineMessages(mark), expected);
    EXPECT_EQ(CountEntries("C:\\windows"), windowsEntries);
    EXPECT_EQ(CountEntries("C:\\windows\\system32"), systemEntries);
    EXPECT_TRUE(Exists(m_dir + "\\tmp\\t.txt"));
}

struct EventThread
{
    DWORD event;
    HANDLE start;
};

DWORD WINAPI RunEvent(LPVOID parameter)
{
    EventThread* thread = (EventThread*)parameter;
    WaitForSingleObject(thread->start, INFINITE);
    ProcessEvents(thread->event);
    return 0;
}

// Events that arrive together are processed one at a time, each whole.
TEST_F(ProcessEventsTest, TwentyEventsFromSeveralThreads)
{
    std::string ini = m_dir + "\\Fenwash.ini";
    WriteTextFile(ini, "[Parameters]\nSaveDynamicProfiles=2\n"
                       "[Profiles]\nActionTrigger=USER_LOGOFF\nK=kiosk\n"
                       "[Directories]\nD=TmpDir\n"
                       "[TmpDir]\nPath=" + m_dir + "\\tmp\nAction=DIR_EMPTY\nActionTrigger=USER_LOGOFF\n"
                       "[Files]\nF1=Logs\nF2=Logs\n"
                       "[Logs]\nPath=" + m_dir + "\\logs\\*.log\nAction=FILE_DELETE\nActionTrigger=USER_SHUTDOWN\n"
                       "[SaveDynamicProfiles]\nP0=seed\nP1=other\n");
    LoadConfigurationFrom(ini.c_str());
    logDisabled = 0;

    const int EVENTS = 20;
    HANDLE start = CreateEventA(NULL, TRUE, FALSE, NULL);
    EventThread events[EVENTS];
    HANDLE threads[EVENTS];
    for (int i = 0; i < EVENTS; ++i) {
        events[i] = { i % 2 == 0 ? (DWORD)USER_LOGOFF : (DWORD)USER_SHUTDOWN, start };
        threads[i] = CreateThread(NULL, 0, RunEvent, &events[i], 0, NULL);
        ASSERT_NE(threads[i], (HANDLE)NULL);
    }
    TraceMark mark;
    SetEvent(start);
    ASSERT_EQ(WaitForMultipleObjects(EVENTS, threads, TRUE, 60000), WAIT_OBJECT_0);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(start);

    // Each event's messages stand together, between its own entry and exit.
    int entered = 0, files = 0, emptied = 0, profileRuns = 0, deletions = 0;
    std::string open;
    for (const auto& message : EngineMessages(mark)) {
        if (message.second.rfind("Entering ", 0) == 0) {
            EXPECT_EQ(open, "") << "an event began inside another";
            open = message.first;
            ++entered;
        } else if (message.second.rfind("Exiting ", 0) == 0) {
            EXPECT_EQ(open, message.first);
            open.clear();
        } else {
            EXPECT_NE(open, "") << message.second;
            files += message.second.rfind("Processing File: ", 0) == 0;
            emptied += message.second.rfind("Deleting Directory Contents of: ", 0) == 0;
            profileRuns += message.second.rfind("Processing profiles: ", 0) == 0;
            deletions += message.second.rfind("Deleting profile info for: ", 0) == 0;
        }
    }
    EXPECT_EQ(entered, EVENTS);
    EXPECT_EQ(files, 2 * EVENTS);
    EXPECT_EQ(emptied, EVENTS / 2);
    EXPECT_EQ(profileRuns, EVENTS / 2);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(DynamicSection(), "P0=other|P1=kiosk-user");
    EXPECT_FALSE(ProfileKeyExists("S-1-5-21-1-2-3-stranger"));
}
