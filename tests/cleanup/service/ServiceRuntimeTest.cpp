// The service runtime on the terminal's own service control manager: each
// test installs a copy of Fenwash.exe under a fresh name, with -Debug on its
// command line, and reads what it did back from the SCM, the files and the
// event log.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServiceTestSupport.h"

namespace {

const DWORD ACCEPTS_STOP_PAUSE_SHUTDOWN = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN;

class ServiceRuntime : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_name = FreshServiceName("FenwashRun");
        m_folder = "C:\\fenwash-runtime\\" + m_name;
        m_program = CopyFenwashTo(m_folder);
        ASSERT_FALSE(m_program.empty()) << "cannot copy Fenwash.exe to " << m_folder;
    }

    void TearDown() override { DeleteTestService(m_name); }

    void Install(const std::string& ini, const char* switches = " -Debug")
    {
        ASSERT_TRUE(WriteTextFile(m_folder + "\\Fenwash.ini", ini));
        ASSERT_EQ(CreateTestService(m_name, "\"" + m_program + "\"" + switches), "");
    }

    // Starts the service; its process id once it reports running.
    DWORD Start()
    {
        EXPECT_TRUE(StartTestService(m_name)) << GetLastError();
        EXPECT_TRUE(WaitForState(m_name, SERVICE_RUNNING));
        return QueryStatus(m_name).dwProcessId;
    }

    void MakeFiles(const std::string& folder, int count)
    {
        CreateDirectoryA(folder.c_str(), NULL);
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(WriteTextFile(folder + "\\f" + std::to_string(i) + ".tmp", "x"));
    }

    std::string m_name;
    std::string m_folder;
    std::string m_program;
};

void ExpectState(const SERVICE_STATUS& status, DWORD state, DWORD checkPoint = 0, DWORD waitHint = 0)
{
    EXPECT_EQ(status.dwServiceType, (DWORD)SERVICE_WIN32_OWN_PROCESS);
    EXPECT_EQ(status.dwCurrentState, state);
    EXPECT_EQ(status.dwControlsAccepted, ACCEPTS_STOP_PAUSE_SHUTDOWN);
    EXPECT_EQ(status.dwWin32ExitCode, 0u);
    EXPECT_EQ(status.dwCheckPoint, checkPoint);
    EXPECT_EQ(status.dwWaitHint, waitHint);
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Position (from 1) of the first entry with exactly `text`, 0 when none.
size_t EntryPosition(const std::vector<std::string>& texts, const std::string& text)
{
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            return i + 1;
    return 0;
}

} // namespace

TEST_F(ServiceRuntime, StatesAndLogLinesOfEachControl)
{
    Install("");
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_NE(pid, 0u);
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));

    SERVICE_STATUS_PROCESS running = QueryStatus(m_name);
    EXPECT_EQ(running.dwControlsAccepted, ACCEPTS_STOP_PAUSE_SHUTDOWN);
    EXPECT_EQ(running.dwCheckPoint, 0u);
    EXPECT_EQ(running.dwWaitHint, 0u);

    DWORD error;
    ExpectState(Control(m_name, SERVICE_CONTROL_PAUSE, &error), SERVICE_PAUSED);
    EXPECT_EQ(error, 0u);
    // A second pause suspends nothing more.
    ExpectState(Control(m_name, SERVICE_CONTROL_PAUSE, &error), SERVICE_PAUSED);
    ExpectState(Control(m_name, SERVICE_CONTROL_INTERROGATE, &error), SERVICE_PAUSED);
    ExpectState(Control(m_name, SERVICE_CONTROL_CONTINUE, &error), SERVICE_RUNNING);
    EXPECT_EQ(error, 0u);
    ExpectState(Control(m_name, SERVICE_CONTROL_CONTINUE, &error), SERVICE_RUNNING);
    ExpectState(Control(m_name, SERVICE_CONTROL_INTERROGATE, &error), SERVICE_RUNNING);
    ExpectState(Control(m_name, 200, &error), SERVICE_RUNNING);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(QueryStatus(m_name).dwCurrentState, (DWORD)SERVICE_RUNNING);

    Control(m_name, SERVICE_CONTROL_STOP, &error);
    EXPECT_EQ(error, 0u);
    ASSERT_TRUE(WaitForState(m_name, SERVICE_STOPPED));
    SERVICE_STATUS_PROCESS stopped = QueryStatus(m_name);
    EXPECT_EQ(stopped.dwWin32ExitCode, 0u);
    ASSERT_TRUE(WaitForEntry(mark, pid, "Fenwash: exitEvent received"));

    std::vector<std::string> fenwash;
    for (const std::string& text : EntryTexts(WithoutEventSummaries(mark.NewEntriesOf(pid))))
        if (StartsWith(text, "Fenwash: "))
            fenwash.push_back(text);
    ASSERT_EQ(fenwash.size(), 11u) << ::testing::PrintToString(fenwash);
    EXPECT_TRUE(StartsWith(fenwash[0], "Fenwash: Waiting for terminateEvent: ")) << fenwash[0];
    const char* controls[] = {
        "Fenwash: SERVICE_CONTROL_PAUSE rec'd from SCM",
        "Fenwash: SERVICE_CONTROL_PAUSE rec'd from SCM",
        "Fenwash: SERVICE_CONTROL_INTERROGATE rec'd from SCM",
        "Fenwash: SERVICE_CONTROL_CONTINUE rec'd from SCM",
        "Fenwash: SERVICE_CONTROL_CONTINUE rec'd from SCM",
        "Fenwash: SERVICE_CONTROL_INTERROGATE rec'd from SCM",
        "Fenwash: Unknown message rec'd from SCM: 200",
        "Fenwash: SERVICE_CONTROL_STOP rec'd from SCM",
    };
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(fenwash[1 + i], controls[i]);
    EXPECT_TRUE(StartsWith(fenwash[9], "Fenwash: Waiting for exitEvent: ")) << fenwash[9];
    EXPECT_EQ(fenwash[10], "Fenwash: exitEvent received");
}

TEST_F(ServiceRuntime, StartupCleanupIsDoneBeforeConsoleEventsAreHandled)
{
    const std::string atStart = m_folder + "\\at-start";
    const std::string atLogoff = m_folder + "\\at-logoff";
    MakeFiles(atStart, 200);
    MakeFiles(atLogoff, 3);
    Install("[Files]\n"
            "1=AtStart\n"
            "2=AtLogoff\n"
            "[AtStart]\n"
            "Path=" + atStart + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=SVC_STARTUP\n"
            "[AtLogoff]\n"
            "Path=" + atLogoff + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=USER_LOGOFF\n");
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));

    // The logoff found the start-up's work complete and did its own.
    EXPECT_FALSE(FileExists(atStart + "\\f0.tmp"));
    EXPECT_FALSE(FileExists(atStart + "\\f199.tmp"));
    EXPECT_FALSE(FileExists(atLogoff + "\\f0.tmp"));
    EXPECT_FALSE(FileExists(atLogoff + "\\f2.tmp"));
    std::vector<std::string> texts = EntryTexts(mark.NewEntriesOf(pid));
    size_t startupExit = EntryPosition(texts, "ProcessServiceStartup: Exiting ProcessServiceStartup");
    size_t logoff = EntryPosition(texts, "ConsoleHandlerRoutine: CTRL_LOGOFF_EVENT message received");
    ASSERT_NE(startupExit, 0u);
    ASSERT_NE(logoff, 0u);
    EXPECT_LT(startupExit, logoff);
}

TEST_F(ServiceRuntime, ConsoleEventsAreHandledAndTheServiceKeepsRunning)
{
    const std::string junk = m_folder + "\\junk";
    MakeFiles(junk, 5);
    Install("[Files]\n"
            "1=Junk\n"
            "[Junk]\n"
            "Path=" + junk + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=USER_LOGOFF\n");
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
    EXPECT_TRUE(FileExists(junk + "\\f0.tmp")) << "the item acts at logoff only";

    TraceMark logoffMark;
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    // vtool returns once the handler has: the cleanup is done by then.
    EXPECT_FALSE(FileExists(junk + "\\f0.tmp"));
    EXPECT_FALSE(FileExists(junk + "\\f4.tmp"));
    EXPECT_EQ(QueryStatus(m_name).dwCurrentState, (DWORD)SERVICE_RUNNING);
    std::vector<EventLogEntry> logoff = logoffMark.NewEntriesOf(pid);
    EXPECT_EQ(CountEntries(logoff, "ConsoleHandlerRoutine: CTRL_LOGOFF_EVENT message received"), 1u);
    EXPECT_EQ(CountEntries(logoff, "ProcessLogoffEvent: Entering ProcessLogoffEvent"), 1u);
    EXPECT_EQ(CountEntries(logoff, "ProcessLogoffEvent: Exiting ProcessLogoffEvent"), 1u);

    TraceMark othersMark;
    for (DWORD event : { (DWORD)CTRL_SHUTDOWN_EVENT, (DWORD)CTRL_CLOSE_EVENT, 17ul, 22ul,
                         (DWORD)CTRL_C_EVENT, (DWORD)CTRL_BREAK_EVENT })
        ASSERT_TRUE(SendConsoleEvent(pid, event)) << event;
    EXPECT_EQ(QueryStatus(m_name).dwCurrentState, (DWORD)SERVICE_RUNNING);
    std::vector<std::string> expected = {
        "ConsoleHandlerRoutine: CTRL_SHUTDOWN_EVENT message received",
        "ProcessShutdownEvent: Entering ProcessShutdownEvent",
        "ProcessShutdownEvent: Exiting ProcessShutdownEvent",
        "ConsoleHandlerRoutine: CTRL_CLOSE_EVENT message received",
        "ConsoleHandlerRoutine: WM_QUERYENDSESSION message received",
        "ConsoleHandlerRoutine: WM_ENDSESSION message received",
    };
    std::vector<std::string> got;
    for (const std::string& text : EntryTexts(othersMark.NewEntriesOf(pid)))
        if (StartsWith(text, "ConsoleHandlerRoutine: ") || StartsWith(text, "ProcessShutdownEvent: "))
            got.push_back(text);
    EXPECT_EQ(got, expected);

    DWORD error;
    Control(m_name, SERVICE_CONTROL_STOP, &error);
    ASSERT_TRUE(WaitForState(m_name, SERVICE_STOPPED));
    EXPECT_EQ(QueryStatus(m_name).dwWin32ExitCode, 0u);
}

// A pause that arrives while the worker is still at its start-up cleanup must
// not leave that work stopped half-way (holding the engine's lock): the
// start-up work ends, the service shows paused, and a logoff is cleaned up.
TEST_F(ServiceRuntime, PauseDuringLongStartupCleanupDoesNotBlockLogoff)
{
    const std::string big = m_folder + "\\big";
    const std::string junk = m_folder + "\\junk";
    MakeFiles(big, 3000);
    MakeFiles(junk, 3);
    Install("[Directories]\n"
            "1=Big\n"
            "[Big]\n"
            "Path=" + big + "\n"
            "Action=DIR_EMPTY\n"
            "ActionTrigger=SVC_STARTUP\n"
            "[Files]\n"
            "1=Junk\n"
            "[Junk]\n"
            "Path=" + junk + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=USER_LOGOFF\n");
    TraceMark mark;
    DWORD pid = Start();
    DWORD error;
    SERVICE_STATUS paused = Control(m_name, SERVICE_CONTROL_PAUSE, &error);
    ExpectState(paused, SERVICE_PAUSED);
    ASSERT_EQ(CountEntries(mark.NewEntriesOf(pid), "ProcessServiceStartup: Exiting ProcessServiceStartup"), 0u)
        << "the start-up cleanup ended before the pause arrived: nothing was tested";

    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup", 60000));
    EXPECT_FALSE(FileExists(big + "\\f2999.tmp"));
    EXPECT_EQ(QueryStatus(m_name).dwCurrentState, (DWORD)SERVICE_PAUSED);

    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    EXPECT_TRUE(WaitForEntry(mark, pid, "ProcessLogoffEvent: Exiting ProcessLogoffEvent", 5000));
    EXPECT_FALSE(FileExists(junk + "\\f0.tmp"));
    EXPECT_EQ(QueryStatus(m_name).dwCurrentState, (DWORD)SERVICE_PAUSED);

    ExpectState(Control(m_name, SERVICE_CONTROL_CONTINUE, &error), SERVICE_RUNNING);
    Control(m_name, SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState(m_name, SERVICE_STOPPED));
}

// A logoff during the start-up cleanup used to meet the system's default
// handler, which ended the process part-way through; a stop was reported at
// once and the process ended under the cleanup still at work. Now the logoff
// waits for the start-up cleanup and then runs, and the stop waits for both,
// reporting a rising check point.
TEST_F(ServiceRuntime, LogoffAndStopDuringTheStartupCleanupWaitForIt)
{
    const std::string big = m_folder + "\\big";
    const std::string junk = m_folder + "\\junk";
    MakeFiles(big, 5000);
    MakeFiles(junk, 3000);
    Install("[Directories]\n1=Big\n[Big]\nPath=" + big + "\nAction=DIR_EMPTY\nActionTrigger=SVC_STARTUP\n"
            "[Files]\n1=Junk\n[Junk]\nPath=" + junk + "\\*.tmp\nAction=FILE_DELETE\nActionTrigger=USER_LOGOFF\n");
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Entering ProcessServiceStartup"));
    HANDLE sender = StartConsoleEvent(pid, CTRL_LOGOFF_EVENT);
    ASSERT_NE(sender, (HANDLE)NULL);
    ASSERT_TRUE(WaitForEntry(mark, pid, "ConsoleHandlerRoutine: CTRL_LOGOFF_EVENT message received"));
    DWORD error;
    Control(m_name, SERVICE_CONTROL_STOP, &error);
    EXPECT_EQ(error, 0u);
    SERVICE_STATUS_PROCESS stopping = QueryStatus(m_name), later = stopping;
    EXPECT_EQ(stopping.dwCurrentState, (DWORD)SERVICE_STOP_PENDING);
    for (DWORD start = GetTickCount(); later.dwCurrentState == SERVICE_STOP_PENDING &&
         later.dwCheckPoint == stopping.dwCheckPoint && GetTickCount() - start < 5000; Sleep(20))
        later = QueryStatus(m_name);
    EXPECT_EQ(later.dwCurrentState, (DWORD)SERVICE_STOP_PENDING);
    EXPECT_GT(later.dwCheckPoint, stopping.dwCheckPoint);
    ASSERT_TRUE(WaitForState(m_name, SERVICE_STOPPED, 60000));
    EXPECT_EQ(WaitForCommand(sender), 0u);

    std::vector<std::string> texts = EntryTexts(mark.NewEntriesOf(pid));
    size_t stop = EntryPosition(texts, "Fenwash: SERVICE_CONTROL_STOP rec'd from SCM");
    size_t startupExit = EntryPosition(texts, "ProcessServiceStartup: Exiting ProcessServiceStartup");
    ASSERT_NE(stop, 0u);
    ASSERT_LT(stop, startupExit) << "the start-up cleanup ended before the stop arrived: nothing was tested";
    EXPECT_LT(startupExit, EntryPosition(texts, "ProcessLogoffEvent: Entering ProcessLogoffEvent"));
    EXPECT_NE(EntryPosition(texts, "ProcessLogoffEvent: Exiting ProcessLogoffEvent"), 0u);
    EXPECT_FALSE(FileExists(big + "\\f4999.tmp")) << "the start-up cleanup was completed";
    EXPECT_FALSE(FileExists(junk + "\\f2999.tmp")) << "the logoff cleanup was completed";
    EXPECT_EQ(QueryStatus(m_name).dwWin32ExitCode, 0u);
}

// A logoff while a long configuration is still being read: the handler is
// already there, so the system's default handler does not end the process;
// the logoff waits for the start-up cleanup and then runs.
TEST_F(ServiceRuntime, ALogoffDuringALongConfigurationLoadIsHandled)
{
    const std::string junk = m_folder + "\\junk";
    MakeFiles(junk, 3);
    std::string ini = "[Files]\n1=Junk\n[Junk]\nPath=" + junk + "\\*.tmp\nAction=FILE_DELETE\nActionTrigger=USER_LOGOFF\n"
                      "[Directories]\n";
    std::string items;
    for (int i = 0; i < 1000; ++i) {
        ini += "D" + std::to_string(i) + "=Dir" + std::to_string(i) + "\n";
        items += "[Dir" + std::to_string(i) + "]\nPath=" + m_folder + "\\none" + std::to_string(i)
                 + "\nAction=DIR_EMPTY\nActionTrigger=USER_SHUTDOWN\n";
    }
    Install(ini + items);
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_TRUE(WaitForEntry(mark, pid, "ServiceThread: CurrentDirectory: " + m_folder + "\\"));
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    EXPECT_TRUE(WaitForEntry(mark, pid, "ProcessLogoffEvent: Exiting ProcessLogoffEvent", 60000));
    SERVICE_STATUS_PROCESS status = QueryStatus(m_name);
    EXPECT_EQ(status.dwCurrentState, (DWORD)SERVICE_RUNNING);
    EXPECT_EQ(status.dwProcessId, pid) << "the process ended";
    EXPECT_FALSE(FileExists(junk + "\\f2.tmp")) << "the logoff cleanup ran";
    std::vector<std::string> texts = EntryTexts(mark.NewEntriesOf(pid));
    size_t logoff = EntryPosition(texts, "ConsoleHandlerRoutine: CTRL_LOGOFF_EVENT message received");
    ASSERT_NE(logoff, 0u);
    ASSERT_LT(logoff, EntryPosition(texts, "ProcessServiceStartup: Entering ProcessServiceStartup"))
        << "the configuration was read before the logoff came: nothing was tested";
    DWORD error;
    Control(m_name, SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState(m_name, SERVICE_STOPPED));
}

TEST_F(ServiceRuntime, WithoutDebugTheServiceWritesOnlyItsEventSummaries)
{
    const std::string junk = m_folder + "\\junk";
    const std::string marker = m_folder + "\\marker";
    MakeFiles(junk, 2);
    MakeFiles(marker, 1);
    Install("[Files]\n"
            "1=Junk\n"
            "2=Marker\n"
            "[Junk]\n"
            "Path=" + junk + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=USER_LOGOFF\n"
            "[Marker]\n"
            "Path=" + marker + "\\*.tmp\n"
            "Action=FILE_DELETE\n"
            "ActionTrigger=SVC_STARTUP\n", "");
    TraceMark mark;
    DWORD pid = Start();
    ASSERT_NE(pid, 0u);
    // Silent, the service shows the end of its start-up work only by its effect;
    // the console handler is in place before that work begins.
    DWORD start = GetTickCount();
    while (FileExists(marker + "\\f0.tmp") && GetTickCount() - start < 20000)
        Sleep(50);
    ASSERT_TRUE(SendConsoleEvent(pid, CTRL_LOGOFF_EVENT));
    EXPECT_FALSE(FileExists(junk + "\\f0.tmp")) << "the logoff cleanup ran";
    DWORD error;
    Control(m_name, SERVICE_CONTROL_PAUSE, &error);
    Control(m_name, SERVICE_CONTROL_CONTINUE, &error);
    Control(m_name, SERVICE_CONTROL_STOP, &error);
    ASSERT_TRUE(WaitForState(m_name, SERVICE_STOPPED));
    // Nothing but the one summary of each event, which is written in every case.
    std::vector<EventLogEntry> entries = mark.NewEntriesOf(pid);
    EXPECT_TRUE(WithoutEventSummaries(entries).empty()) << ::testing::PrintToString(EntryTexts(entries));
    EXPECT_EQ(entries.size(), 2u) << "start-up and logoff";
}

// The shutdown control only announces the stop: the shutdown cleanup comes as
// a console event, and the process ends with the system.
TEST(ServiceShutdownControl, ReportsStopPendingAndTheServiceStaysUp)
{
    const std::string name = FreshServiceName("FenwashShutdown");
    const std::string folder = "C:\\fenwash-runtime\\" + name;
    CreateDirectoryA("C:\\fenwash-runtime", NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    const std::string program = folder + "\\shutdown_probe.exe";
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "shutdown_probe.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(WriteTextFile(folder + "\\Fenwash.ini", ""));
    ASSERT_EQ(CreateTestService(name, "\"" + program + "\""), "");
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, "FenwashShutdownProbe");
    ASSERT_NE(go, (HANDLE)NULL);

    TraceMark mark;
    ASSERT_TRUE(StartTestService(name));
    ASSERT_TRUE(WaitForState(name, SERVICE_RUNNING));
    DWORD pid = QueryStatus(name).dwProcessId;
    ASSERT_TRUE(WaitForEntry(mark, pid, "ProcessServiceStartup: Exiting ProcessServiceStartup"));
    SetEvent(go);
    ASSERT_TRUE(WaitForEntry(mark, pid, "Fenwash: SERVICE_CONTROL_SHUTDOWN rec'd from SCM"));
    ASSERT_TRUE(WaitForState(name, SERVICE_STOP_PENDING));
    SERVICE_STATUS_PROCESS status = QueryStatus(name);
    EXPECT_EQ(status.dwCheckPoint, 1u);
    EXPECT_EQ(status.dwWaitHint, 3500u);
    EXPECT_EQ(status.dwControlsAccepted, ACCEPTS_STOP_PAUSE_SHUTDOWN);

    Sleep(1000);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(process, (HANDLE)NULL);
    EXPECT_EQ(WaitForSingleObject(process, 0), (DWORD)WAIT_TIMEOUT) << "the service ended by itself";
    EXPECT_EQ(QueryStatus(name).dwCurrentState, (DWORD)SERVICE_STOP_PENDING);
    std::vector<EventLogEntry> entries = mark.NewEntriesOf(pid);
    for (const std::string& text : EntryTexts(entries))
        EXPECT_FALSE(StartsWith(text, "Fenwash: Waiting for exitEvent")) << "no event was signalled";

    // The system would end the process now.
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    CloseHandle(go);
    DeleteTestService(name);
}
