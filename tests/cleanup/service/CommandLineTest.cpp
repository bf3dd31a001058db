// Fenwash.exe's command line, run as a program on the terminal: the real
// service name "Fenwash", the help box read from its window, and the exit
// codes. This terminal is used by no other test program.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServiceTestSupport.h"

namespace {

const char installFolder[] = "C:\\Program Files\\Quillmere Test";

std::string Fenwash()
{
    return TestProgramFolder() + "Fenwash.exe";
}

// The configuration of service "Fenwash"; false when it does not exist.
bool QueryFenwashConfig(std::string* path, std::string* displayName, DWORD* startType, DWORD* type,
                        std::string* account)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, "Fenwash", SERVICE_QUERY_CONFIG);
    bool found = false;
    if (service != NULL) {
        union { QUERY_SERVICE_CONFIGA config; BYTE bytes[8192]; } buffer;
        DWORD needed;
        if (QueryServiceConfigA(service, &buffer.config, sizeof buffer, &needed)) {
            *path = buffer.config.lpBinaryPathName ? buffer.config.lpBinaryPathName : "";
            *displayName = buffer.config.lpDisplayName ? buffer.config.lpDisplayName : "";
            *startType = buffer.config.dwStartType;
            *type = buffer.config.dwServiceType;
            *account = buffer.config.lpServiceStartName ? buffer.config.lpServiceStartName : "";
            found = true;
        }
        CloseServiceHandle(service);
    }
    if (manager != NULL)
        CloseServiceHandle(manager);
    return found;
}

bool FenwashExists()
{
    std::string path, displayName, account;
    DWORD startType, type;
    return QueryFenwashConfig(&path, &displayName, &startType, &type, &account);
}

BOOL CALLBACK CollectChildText(HWND child, LPARAM texts)
{
    char text[2048];
    if (GetWindowTextA(child, text, sizeof text) > 0)
        reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
    return TRUE;
}

const char joinedHelp[] =
    "Use these command line parameters for administering the service:\n"
    "Only one of these can be used at a time.\n"
    "-UnregServer :: Unregister the service.\n"
    "-RegServer :: Register the service, or\n"
    "-Service :: Also attempts to register the service.\n"
    "-? or -Help :: Show this dialog.\n"
    "\n"
    "Use these parameters for run-time options. These can be used together.\n"
    "-Debug :: Log actions to the Event Log.\n"
    "-Preview :: Report what each event would do, changing nothing.\n";

} // namespace

class HelpBox : public ::testing::TestWithParam<const char*> {};

TEST_P(HelpBox, ShowsTheJoinedTextAndExitsWithZeroWhenClosed)
{
    std::string line = "\"" + Fenwash() + "\" " + GetParam();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info));
    CloseHandle(info.hThread);

    HWND box = NULL;
    for (int i = 0; i < 200 && box == NULL; ++i) {
        box = FindWindowA(NULL, "Command Line help");
        if (box == NULL)
            Sleep(100);
    }
    std::vector<std::string> texts;
    if (box != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        EXPECT_EQ(owner, info.dwProcessId);
        char caption[64];
        GetWindowTextA(box, caption, sizeof caption);
        EXPECT_STREQ(caption, "Command Line help");
        EnumChildWindows(box, CollectChildText, reinterpret_cast<LPARAM>(&texts));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(info.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    else
        TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hProcess);

    ASSERT_NE(box, (HWND)NULL) << "no help box for " << GetParam();
    bool found = false;
    for (const std::string& text : texts)
        found = found || text == joinedHelp;
    EXPECT_TRUE(found) << ::testing::PrintToString(texts);
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Switches, HelpBox,
                         ::testing::Values("-?", "/help", "-HELP", "/helpme", "-Debug -?"));

TEST(CommandLine, InstallsQuotedFromAFolderWithABlankAndTheServiceRuns)
{
    FenwashRemovedAfterwards cleanup;
    const std::string program = CopyFenwashTo(installFolder);
    ASSERT_FALSE(program.empty());
    ASSERT_TRUE(WriteTextFile(std::string(installFolder) + "\\Fenwash.ini", ""));

    EXPECT_EQ(RunFenwash(program, "-RegServer").exitCode, 0u);
    std::string path, displayName, account;
    DWORD startType = 0, type = 0;
    ASSERT_TRUE(QueryFenwashConfig(&path, &displayName, &startType, &type, &account));
    EXPECT_EQ(path, "\"" + program + "\"");
    EXPECT_EQ(displayName, "Quillmere Cleanup");
    EXPECT_EQ(startType, (DWORD)SERVICE_AUTO_START);
    EXPECT_EQ(type, (DWORD)SERVICE_WIN32_OWN_PROCESS);
    EXPECT_EQ(account, "LocalSystem");

    // A program at the first blank would be started instead if the path were
    // unquoted; it must stay untouched.
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "vtool.exe").c_str(), "C:\\Program.exe", FALSE));
    ASSERT_TRUE(StartTestService("Fenwash")) << GetLastError();
    ASSERT_TRUE(WaitForState("Fenwash", SERVICE_RUNNING));
    DWORD pid = QueryStatus("Fenwash").dwProcessId;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    ASSERT_NE(process, (HANDLE)NULL);
    char image[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    typedef BOOL(WINAPI * QueryName)(HANDLE, DWORD, LPSTR, PDWORD);
    QueryName queryName = reinterpret_cast<QueryName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    ASSERT_NE(queryName, (QueryName)NULL);
    EXPECT_TRUE(queryName(process, 0, image, &size));
    CloseHandle(process);
    EXPECT_EQ(lstrcmpiA(image, program.c_str()), 0) << image;
    DeleteFileA("C:\\Program.exe");

    // Over the running service: it is stopped and updated.
    FenwashRun again = RunFenwash(program, "-Debug -Service");
    EXPECT_EQ(again.exitCode, 0u);
    EXPECT_TRUE(WaitForState("Fenwash", SERVICE_STOPPED));

    FenwashRun removed = RunFenwash(program, "/UNREGSERVER");
    EXPECT_EQ(removed.exitCode, 1u);
    EXPECT_FALSE(FenwashExists());
}

TEST(CommandLine, RemoveAndInstallExitCodesAndTheirLogLines)
{
    FenwashRemovedAfterwards cleanup;
    // Installed from a folder of its own: installing sets the permissions of
    // the program's folder, and the test's is the build's.
    const std::string folder = "C:\\fenwash-install";
    const std::string program = CopyFenwashTo(folder);
    ASSERT_FALSE(program.empty());
    ASSERT_TRUE(WriteTextFile(folder + "\\Fenwash.ini", ""));
    std::vector<std::string> permissionsSet;
    for (const std::string& file : { folder, program, folder + "\\Fenwash.ini" })
        permissionsSet.push_back("Fenwash: Permissions set on " + file +
                                 ": only administrators and SYSTEM may change it.");
    auto installLines = [&permissionsSet](const char* outcome) {
        std::vector<std::string> lines = permissionsSet;
        lines.push_back(std::string("Fenwash: Quillmere Cleanup service ") + outcome + ".");
        return lines;
    };
    TraceMark mark;
    FenwashRun missing = RunFenwash(program, "-Debug -unregserver");
    EXPECT_EQ(missing.exitCode, 0u) << "nothing to remove";
    std::vector<std::string> texts = EntryTexts(mark.NewEntriesOf(missing.processId));
    EXPECT_EQ(texts, (std::vector<std::string>{
        "Fenwash: Error opening Service to remove service.",
        "Fenwash: Error querying Service to remove service.",
        "Fenwash: Error stopping Service to remove service.",
        "Fenwash: Error removing service.",
    }));

    FenwashRun installed = RunFenwash(program, "-Debug -RegServer");
    EXPECT_EQ(installed.exitCode, 0u);
    EXPECT_EQ(EntryTexts(mark.NewEntriesOf(installed.processId)), installLines("created"));

    // Over an existing service that another program holds open and that was
    // configured otherwise meanwhile: updated in place, never deleted (a
    // deletion would only mark it, and it would vanish with that handle).
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE held = OpenServiceA(manager, "Fenwash", SERVICE_ALL_ACCESS);
    ASSERT_NE(held, (SC_HANDLE)NULL);
    ASSERT_TRUE(ChangeServiceConfigA(held, SERVICE_NO_CHANGE, SERVICE_DEMAND_START, SERVICE_NO_CHANGE,
                                     "C:\\elsewhere\\Fenwash.exe", NULL, NULL, NULL, NULL, NULL,
                                     "Renamed"));
    FenwashRun reinstalled = RunFenwash(program, "/debug /service");
    EXPECT_EQ(reinstalled.exitCode, 0u);
    EXPECT_EQ(EntryTexts(mark.NewEntriesOf(reinstalled.processId)), installLines("updated"));
    CloseServiceHandle(held);
    CloseServiceHandle(manager);
    std::string path, displayName, account;
    DWORD startType = 0, type = 0;
    ASSERT_TRUE(QueryFenwashConfig(&path, &displayName, &startType, &type, &account))
        << "the service is gone now that the other handle is closed";
    EXPECT_EQ(path, "\"" + program + "\"");
    EXPECT_EQ(displayName, "Quillmere Cleanup");
    EXPECT_EQ(startType, (DWORD)SERVICE_AUTO_START);
    EXPECT_EQ(type, (DWORD)SERVICE_WIN32_OWN_PROCESS);
    EXPECT_EQ(account, "LocalSystem");

    // -Debug after the administrative switch comes too late.
    FenwashRun silent = RunFenwash(program, "-RegServer -Debug");
    EXPECT_EQ(silent.exitCode, 0u);
    EXPECT_TRUE(mark.NewEntriesOf(silent.processId).empty());

    FenwashRun removed = RunFenwash(program, "-Debugging -UnregServer");
    EXPECT_EQ(removed.exitCode, 1u);
    EXPECT_EQ(EntryTexts(mark.NewEntriesOf(removed.processId)),
              (std::vector<std::string>{ "Fenwash: Service removed." }));
    EXPECT_FALSE(FenwashExists());
}

TEST(CommandLine, WithoutAnAdministrativeSwitchTheDispatcherIsStarted)
{
    TraceMark mark;
    // By hand, not by the service control manager, the dispatcher fails.
    for (const char* arguments : { "-Debug", "/debug/x", "-Debugging", "-x -Debug" }) {
        FenwashRun run = RunFenwash(Fenwash(), arguments);
        EXPECT_EQ(run.exitCode, 0u) << arguments;
        std::vector<std::string> texts = EntryTexts(mark.NewEntriesOf(run.processId));
        ASSERT_EQ(texts.size(), 1u) << arguments;
        EXPECT_EQ(texts[0].rfind("Fenwash: Error in StartServiceCtrlDispatcher. Errornum: ", 0), 0u)
            << texts[0];
        EXPECT_NE(texts[0], "Fenwash: Error in StartServiceCtrlDispatcher. Errornum: 0");
    }
    for (const char* arguments : { "", "hello world", "-x", "Debug" }) {
        FenwashRun run = RunFenwash(Fenwash(), arguments);
        EXPECT_EQ(run.exitCode, 0u) << arguments;
        EXPECT_TRUE(mark.NewEntriesOf(run.processId).empty()) << arguments;
    }
    EXPECT_FALSE(FenwashExists());
}
