// vtool ctrl delivers console events as Windows does and waits for the
// handler: run against a real process with a handler of its own.
#include <windows.h>
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "TestProgram.h"

namespace {

// Runs a command line, waits for it and returns its exit code (or -1).
DWORD RunAndWait(std::string commandLine, HANDLE* process = NULL)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return (DWORD)-1;
    CloseHandle(info.hThread);
    if (process != NULL) {
        *process = info.hProcess;
        return info.dwProcessId;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return code;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return text;
    char chunk[256];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    fclose(file);
    return text;
}

} // namespace

TEST(ConsoleEventSender, HandlerReceivesEachEventAndTheSenderWaitsForIt)
{
    const std::string folder = TestProgramFolder();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "ctrl_events.txt";
    DeleteFileA(log.c_str());

    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, "vt-ctrl-target-ready");
    ASSERT_NE(ready, (HANDLE)NULL);
    HANDLE target = NULL;
    DWORD pid = RunAndWait("\"" + folder + "ctrl_target.exe\" \"" + log + "\" vt-ctrl-target-ready", &target);
    ASSERT_NE(target, (HANDLE)NULL);
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
    CloseHandle(ready);

    std::string expected = "pid " + std::to_string(pid) + "\n";
    for (DWORD event : { 5u, 6u, 2u, 17u, 22u }) {
        std::string command = "\"" + folder + "vtool.exe\" ctrl " + std::to_string(pid) + " " + std::to_string(event);
        EXPECT_EQ(RunAndWait(command), 0u) << event;
        // The handler has returned by the time the sender does.
        expected += "got " + std::to_string(event) + "\ndone " + std::to_string(event) + "\n";
        EXPECT_EQ(ReadFile(log), expected);
    }
    TerminateProcess(target, 0);
    CloseHandle(target);
}

TEST(ConsoleEventSender, MissingProcessIsAnError)
{
    std::string command = "\"" + TestProgramFolder() + "vtool.exe\" ctrl 999999 5";
    EXPECT_EQ(RunAndWait(command), 1u);
}
