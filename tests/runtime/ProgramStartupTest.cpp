// The shipped programs' own start-up, through probes built with it: the
// command tail WinMain and wWinMain get (quotes and blanks in the program's
// name), the show command, static constructors before the program, exit
// handlers and static destructors after it, last registered first, and the
// exit status from a return and from exit.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "TestProgram.h"

namespace {

const int noShowCommand = -1;

struct ProbeRun
{
    DWORD exitCode = (DWORD)-1;
    std::string output;
};

std::wstring FromUtf8(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string ReadAndDelete(const std::wstring& path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read;
        while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0)
            text.append(buffer, read);
        CloseHandle(file);
    }
    DeleteFileW(path.c_str());
    return text;
}

// Runs the probe with the whole command line given (its first word need not
// be the program's path), its standard output sent to a file.
ProbeRun RunProbe(const char* probe, const std::string& commandLine, int showCommand)
{
    ProbeRun run;
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"prb", 0, path) == 0)
        return run;
    SECURITY_ATTRIBUTES inherited = { sizeof inherited, NULL, TRUE };
    HANDLE output = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (output == INVALID_HANDLE_VALUE)
        return run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (showCommand != noShowCommand) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = (WORD)showCommand;
    }
    startup.hStdInput = startup.hStdOutput = startup.hStdError = output;
    std::wstring application = FromUtf8(TestProgramFolder() + probe);
    std::wstring line = FromUtf8(commandLine);
    PROCESS_INFORMATION info;
    if (CreateProcessW(application.c_str(), &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info)) {
        CloseHandle(info.hThread);
        if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &run.exitCode);
        else
            TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hProcess);
    }
    CloseHandle(output);
    run.output = ReadAndDelete(path);
    return run;
}

std::string ExpectedReport(const std::string& tail, int showCommand)
{
    return "constructed first\n"
           "constructed second\n"
           "instance ok\n"
           "tail=[" + tail + "]\n"
           "show=" + std::to_string(showCommand) + "\n"
           "constructed local\n"
           "atexit handler\n"
           "destroyed local\n"
           "destroyed second\n"
           "destroyed first\n";
}

struct StartupCase
{
    const char* probe;
    const char* commandLine;
    int showCommand;
    const char* tail;
    int reportedShowCommand;
    DWORD exitCode;
};

TEST(ProgramStartup, GivesWinMainWhatTheSystemStartupWould)
{
    const StartupCase cases[] = {
        // A quoted name with a blank in it; quotes after the name are the program's.
        { "startup_probe.exe", "\"C:\\Program Files\\probe.exe\" return 7 -Switch \"two words\"",
          noShowCommand, "return 7 -Switch \"two words\"", SW_SHOWDEFAULT, 7 },
        // Quotes inside the name, several blanks after it, a show command.
        { "startup_probe.exe", "pro\"be x\"y    exit 9", SW_SHOWMINNOACTIVE, "exit 9",
          SW_SHOWMINNOACTIVE, 9 },
        // Nothing after the name but blanks; WinMain's status taken whole.
        { "startup_probe.exe", "\"probe\"   ", SW_HIDE, "", SW_HIDE, 0 },
        { "startup_probe.exe", "probe return -2", noShowCommand, "return -2", SW_SHOWDEFAULT,
          0xFFFFFFFEu },
        // A name with a character beyond ASCII, which the ANSI line holds as
        // a byte above 127.
        { "startup_probe.exe", "Pr\xc3\xbc" "fung return 6", noShowCommand, "return 6",
          SW_SHOWDEFAULT, 6 },
        // An unterminated quote makes the whole line the name.
        { "startup_probe.exe", "\"probe return 4", noShowCommand, "", SW_SHOWDEFAULT, 0 },
        // The same for wWinMain, with text beyond ASCII and a tab.
        { "startup_probe_unicode.exe", "\"probe\" return 3 Gr\xc3\xbc\xc3\x9f\x65 \xd0\xb6",
          SW_SHOWNORMAL, "return 3 Gr\xc3\xbc\xc3\x9f\x65 \xd0\xb6", SW_SHOWNORMAL, 3 },
        { "startup_probe_unicode.exe", "probe\texit 5", noShowCommand, "exit 5", SW_SHOWDEFAULT, 5 },
    };
    for (const StartupCase& c : cases) {
        SCOPED_TRACE(std::string(c.probe) + " " + c.commandLine);
        ProbeRun run = RunProbe(c.probe, c.commandLine, c.showCommand);
        EXPECT_EQ(c.exitCode, run.exitCode);
        EXPECT_EQ(ExpectedReport(c.tail, c.reportedShowCommand), run.output);
    }
}

} // namespace
