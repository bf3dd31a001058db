// examples/pendrax-cache-check.cmd as the fleet's management system runs it:
// the batch file runs "Pendrax.exe /q", reads its lines and status, and
// prints the one line it reports.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "PanelRun.h"
#include "TestProgram.h"

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The batch file's output, run with the threshold given (none when empty)
// and PENDRAX naming the panel.
std::string CacheCheck(const std::wstring& threshold, const std::wstring& pendrax)
{
    std::wstring folder = Wide(TestProgramFolder());
    SetEnvironmentVariableW(L"PENDRAX", pendrax.c_str());
    std::wstring outputPath = folder + L"cache-check.txt";
    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                &inheritable, CREATE_ALWAYS, 0, NULL);
    if (output == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "no output file, error " << GetLastError();
        return "";
    }
    // cmd takes what lies between the outer quotes as the command line.
    std::wstring line = L"cmd /c \"\"" + folder + L"examples\\pendrax-cache-check.cmd\" "
                        + threshold + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    PROCESS_INFORMATION info;
    std::string text;
    if (CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info)) {
        EXPECT_EQ(WaitForSingleObject(info.hProcess, 30000), WAIT_OBJECT_0);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        SetFilePointer(output, 0, NULL, FILE_BEGIN);
        char buffer[1024];
        DWORD read = 0;
        while (ReadFile(output, buffer, sizeof buffer, &read, NULL) && read > 0)
            text.append(buffer, read);
    } else {
        ADD_FAILURE() << "cmd did not start, error " << GetLastError();
    }
    CloseHandle(output);
    SetEnvironmentVariableW(L"PENDRAX", NULL);
    return text;
}

} // namespace

TEST(CacheCheckExample, ReportsOverOrUnderItsThresholdAndStatesWithoutFigures)
{
    std::wstring pendrax = Wide(TestProgramFolder()) + L"Pendrax.exe";
    WriteMachineDword(kDriverKey, L"Start", 2);

    SetFilter(4096, 8192, 0);
    EXPECT_EQ(CacheCheck(L"50", pendrax),
              "OVER 50% of the write filter's cache in use (threshold 50%), 4096 of 8192 blocks: "
              "NTE flash memory write filter is ACTIVE\r\n");
    // A TEMP with blanks in it, as in a profile folder of later Windows.
    wchar_t temp[MAX_PATH];
    DWORD tempLength = GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    ASSERT_TRUE(tempLength > 0 && tempLength < MAX_PATH);
    CreateDirectoryW(L"C:\\temp with blanks", NULL);
    SetEnvironmentVariableW(L"TEMP", L"C:\\temp with blanks");
    EXPECT_EQ(CacheCheck(L"51", pendrax),
              "OK 50% of the write filter's cache in use (threshold 51%): "
              "NTE flash memory write filter is ACTIVE\r\n");
    SetEnvironmentVariableW(L"TEMP", temp);
    // Leading zeros made cmd read 080 as no number, compared as text: OVER.
    EXPECT_EQ(CacheCheck(L"080", pendrax),
              "OK 50% of the write filter's cache in use (threshold 80%): "
              "NTE flash memory write filter is ACTIVE\r\n");
    SetFilter(8191, 8192, 1);
    EXPECT_EQ(CacheCheck(L"", pendrax),
              "OVER 99% of the write filter's cache in use (threshold 80%), 8191 of 8192 blocks: "
              "NTE flash memory write filter is INACTIVE\r\n");
    EXPECT_EQ(FilterState().flushCalls, 0u);
    // Compared as text, "abc" was never reached and a full cache read OK.
    EXPECT_EQ(CacheCheck(L"abc", pendrax),
              "ERROR the threshold abc is not a whole number of percent\r\n");
    EXPECT_EQ(CacheCheck(L"8O", pendrax),
              "ERROR the threshold 8O is not a whole number of percent\r\n");
    EXPECT_EQ(CacheCheck(L"0", pendrax),
              "OVER 99% of the write filter's cache in use (threshold 0%), 8191 of 8192 blocks: "
              "NTE flash memory write filter is INACTIVE\r\n");

    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    WriteMachineDword(kDriverKey, L"Start", 4);
    EXPECT_EQ(CacheCheck(L"50", pendrax),
              "NO FIGURES (exit status 12): NTE flash memory write filter is DISABLED\r\n");
    WriteMachineDword(kDriverKey, L"Start", 2);

    std::string missing = CacheCheck(L"50", Wide(TestProgramFolder()) + L"NoSuchPanel.exe");
    EXPECT_EQ(missing.compare(0, 6, "ERROR "), 0) << missing;

    SetFilter(96, 8192, 0);
}
