// "Pendrax /q" as a script runs it: standard output sent to a file or a
// pipe, the state told by the text and by the exit status, in every state
// the terminal's write filter can be put in, and beside an open panel.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "FilterReport.h"
#include "PanelRun.h"
#include "QueryCommand.h"
#include "TestProgram.h"

namespace {

struct Report
{
    DWORD status;
    std::string text;
};

std::string ReadWhole(HANDLE file)
{
    std::string text;
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0)
        text.append(buffer, read);
    return text;
}

// A run whose standard output goes to a file, as "Pendrax.exe /q > file".
Report QueryToFile(const wchar_t* arguments = L"/q")
{
    std::string folder = TestProgramFolder();
    std::wstring path = std::wstring(folder.begin(), folder.end()) + L"query.txt";
    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              &inheritable, CREATE_ALWAYS, 0, NULL);
    Report report = { 0xDEAD, "" };
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "no output file, error " << GetLastError();
        return report;
    }
    {
        PanelRun run(arguments, RunAs::kUser, file);
        EXPECT_TRUE(run.WaitForExit(20000, &report.status)) << arguments;
    }
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    report.text = ReadWhole(file);
    CloseHandle(file);
    return report;
}

std::string StateOnly(const char* line)
{
    return std::string("state=NTE flash memory write filter ") + line + "\r\n";
}

std::string Figures(const char* state, const char* inUse, const char* total, int mode,
                    const char* percent)
{
    return StateOnly(state) + "blocksInUse=" + inUse + "\r\nblocksTotal=" + total + "\r\nmode="
           + std::to_string(mode) + "\r\nentriesFlushed=0\r\ncacheUsePercent=" + percent + "\r\n";
}

void ExpectReport(const Report& report, DWORD status, const std::string& text)
{
    EXPECT_EQ(report.status, status) << text;
    EXPECT_EQ(report.text, text);
    // It only reads.
    EXPECT_EQ(FilterState().flushCalls, 0u) << text;
}

} // namespace

TEST(Query, TellsEachStateByItsLinesAndExitStatus)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(4096, 8192, 0);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "4096", "8192", 0, "50"));
    ExpectReport(QueryToFile(L"\"/Q\""), 10, Figures("is ACTIVE", "4096", "8192", 0, "50"));
    // One query a run, and nothing else.
    EXPECT_EQ(FilterState().queryCalls, 2u);

    // Rounded down: 100 only when the cache is full.
    SetFilter(8191, 8192, 2);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "8191", "8192", 2, "99"));
    SetFilter(8192, 8192, 0);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "8192", "8192", 0, "100"));
    // Counted full as the flush counts it: none of none, or more than all.
    SetFilter(0, 0, 0);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "0", "0", 0, "100"));
    SetFilter(8193, 8192, 0);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "8193", "8192", 0, "100"));
    // Figures past 32 bits times 100, and past a signed 32-bit number.
    SetFilter(4294967294u, 4294967295u, 0);
    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "4294967294", "4294967295", 0, "99"));

    SetFilter(5, 8192, 1);
    ExpectReport(QueryToFile(), 11, Figures("is INACTIVE", "5", "8192", 1, "0"));

    // Without figures to tell, the state line alone.
    SetFilter(5, 8192, 0, WRITE_FILTER_FAULT_QUERY);
    ExpectReport(QueryToFile(), 13, StateOnly("FAILED to load"));
    SetFilter(5, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    ExpectReport(QueryToFile(), 13, StateOnly("FAILED to load"));
    WriteMachineDword(kDriverKey, L"Start", 4);
    ExpectReport(QueryToFile(), 12, StateOnly("is DISABLED"));

    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(96, 8192, 0);
}

TEST(Query, ThroughAPipeAndWithNoStandardOutputAtAll)
{
    SetFilter(96, 8192, 0);
    SECURITY_ATTRIBUTES inheritable = { sizeof(inheritable), NULL, TRUE };
    HANDLE readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    DWORD status = 0xDEAD;
    std::string text;
    {
        PanelRun run(L"/q", RunAs::kUser, writeEnd);
        // Ours closed, the pipe ends when the run's copy goes.
        CloseHandle(writeEnd);
        text = ReadWhole(readEnd);
        EXPECT_TRUE(run.WaitForExit(20000, &status));
    }
    CloseHandle(readEnd);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(text, Figures("is ACTIVE", "96", "8192", 0, "1"));

    // Started from a shortcut: nowhere to write, the status all the same.
    PanelRun run(L"/q");
    EXPECT_TRUE(run.WaitForExit(20000, &status));
    EXPECT_EQ(status, 10u);
}

TEST(Query, RunsBesideAnOpenStatusDialogAndLeavesItOpen)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(2048, 8192, 0);
    PanelRun panel(L"");
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);

    ExpectReport(QueryToFile(), 10, Figures("is ACTIVE", "2048", "8192", 0, "25"));
    SetFilter(2048, 8192, 1);
    ExpectReport(QueryToFile(), 11, Figures("is INACTIVE", "2048", "8192", 1, "25"));

    DWORD status;
    EXPECT_FALSE(panel.WaitForExit(0, &status));
    EXPECT_TRUE(IsWindow(dialog));
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
    SetFilter(96, 8192, 0);
}

// Access refused is the one state the terminal cannot produce (Wine opens
// a device whatever its driver answers): its report and status, from the
// functions the run calls.
TEST(Query, NotAccessibleHasItsOwnStatusAndNoFigures)
{
    EXPECT_EQ(OpenFailureState(ERROR_ACCESS_DENIED), FILTER_NOT_ACCESSIBLE);
    EXPECT_EQ(QueryExitStatus(FILTER_NOT_ACCESSIBLE), 14);
    WriteFilterDevice device;
    wchar_t text[512];
    ASSERT_TRUE(FormatFilterReport(FILTER_NOT_ACCESSIBLE, device, text, 512));
    EXPECT_STREQ(text, L"state=NTE flash memory write filter is NOT ACCESSIBLE\r\n");
    // Too small a buffer is refused, not overrun.
    EXPECT_FALSE(FormatFilterReport(FILTER_NOT_ACCESSIBLE, device, text, 20));
}
