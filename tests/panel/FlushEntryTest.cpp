// The event log entry of "Pendrax /f", read back from the session's trace:
// one per run, whatever the run came to, with its source registered so that
// the event viewer shows the text.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "PanelRun.h"
#include "TerminalTrace.h"
#include "TestProgram.h"

namespace {

const wchar_t kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Pendrax";

struct FlushRun
{
    DWORD status;
    std::vector<EventLogEntry> entries;
};

FlushRun Flush()
{
    TraceMark mark;
    PanelRun run(L"/f");
    FlushRun result = { 0xDEAD, {} };
    EXPECT_TRUE(run.WaitForExit(20000, &result.status));
    result.entries = mark.NewEntriesOf(run.ProcessId());
    return result;
}

void ExpectEntry(const FlushRun& run, DWORD status, unsigned type, unsigned long id,
                 const std::string& text)
{
    EXPECT_EQ(run.status, status) << text;
    ASSERT_EQ(run.entries.size(), 1u) << text;
    const EventLogEntry& entry = run.entries[0];
    EXPECT_EQ(entry.source, "Pendrax");
    EXPECT_EQ(entry.type, type);
    EXPECT_EQ(entry.category, 0u);
    EXPECT_EQ(entry.id, id);
    ASSERT_EQ(entry.strings.size(), 1u);
    EXPECT_EQ(entry.strings[0], text);
}

std::string State(const char* line)
{
    return std::string("state=NTE flash memory write filter ") + line;
}

std::string Figures(const char* inUse, const char* total, const char* flushed,
                    const char* percent)
{
    return std::string("\r\nblocksInUse=") + inUse + "\r\nblocksTotal=" + total
           + "\r\nmode=0\r\nentriesFlushed=" + flushed + "\r\ncacheUsePercent=" + percent;
}

std::wstring ReadMachineText(LPCWSTR key, LPCWSTR value, DWORD* type)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return L"";
    wchar_t text[MAX_PATH + 1] = L"";
    DWORD size = MAX_PATH * sizeof(wchar_t);
    RegQueryValueExW(opened, value, NULL, type, (BYTE*)text, &size);
    RegCloseKey(opened);
    return text;
}

FILETIME LastWritten(LPCWSTR key)
{
    FILETIME written = {};
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(opened, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
                         &written);
        RegCloseKey(opened);
    }
    return written;
}

} // namespace

TEST(FlushEntry, OneEntryPerRunWithWhatItCameTo)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    DeleteMachineKeyTree(kSourceKey);

    SetFilter(96, 8192, 0);
    ExpectEntry(Flush(), 0, EVENTLOG_INFORMATION_TYPE, 1,
                "Pendrax /f flushed the write filter's cache. Exit status 0.\r\n"
                    + State("is ACTIVE") + Figures("0", "8192", "96", "0"));
    EXPECT_EQ(FilterState().flushCalls, 1u);

    SetFilter(8192, 8192, 0);
    ExpectEntry(Flush(), 0xFFFFFFFF, EVENTLOG_ERROR_TYPE, 3,
                "Pendrax /f did not flush: the write filter's cache is full. Restart the "
                "terminal. Exit status -1.\r\n"
                    + State("is ACTIVE") + Figures("8192", "8192", "0", "100"));
    EXPECT_EQ(FilterState().flushCalls, 0u);

    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_FLUSH);
    ExpectEntry(Flush(), 0xFFFFFFFF, EVENTLOG_ERROR_TYPE, 5,
                "Pendrax /f did not flush: the write filter refused the flush. Exit status -1.\r\n"
                    + State("is ACTIVE") + Figures("7", "8192", "0", "0"));

    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_QUERY);
    ExpectEntry(Flush(), 0xFFFFFFFF, EVENTLOG_ERROR_TYPE, 4,
                "Pendrax /f did not flush: the write filter did not tell its state. Exit status "
                "-1.\r\n" + State("FAILED to load"));

    // The state after the run tells a disabled driver from a missing one.
    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    ExpectEntry(Flush(), 1, EVENTLOG_ERROR_TYPE, 2,
                "Pendrax /f did not flush: the write filter's device could not be opened. Exit "
                "status 1.\r\n" + State("FAILED to load"));
    WriteMachineDword(kDriverKey, L"Start", 4);
    ExpectEntry(Flush(), 1, EVENTLOG_ERROR_TYPE, 2,
                "Pendrax /f did not flush: the write filter's device could not be opened. Exit "
                "status 1.\r\n" + State("is DISABLED"));

    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(96, 8192, 0);
}

TEST(FlushEntry, AStatusDialogOpenGivesAWarning)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(96, 8192, 0);
    PanelRun panel(L"");
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    ExpectEntry(Flush(), 2, EVENTLOG_WARNING_TYPE, 6,
                "Pendrax /f did not flush: a status dialog was open. Flush once it is closed. "
                "Exit status 2.\r\n" + State("is ACTIVE") + Figures("96", "8192", "0", "1"));
    EXPECT_EQ(FilterState().flushCalls, 0u);
    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

TEST(FlushEntry, TheSourceNamesThePanelAsItsMessageFileOnce)
{
    DeleteMachineKeyTree(kSourceKey);
    SetFilter(96, 8192, 0);
    Flush();

    std::string folder = TestProgramFolder();
    std::wstring program = std::wstring(folder.begin(), folder.end()) + L"Pendrax.exe";
    DWORD type = REG_NONE;
    EXPECT_EQ(lstrcmpiW(ReadMachineText(kSourceKey, L"EventMessageFile", &type).c_str(),
                        program.c_str()), 0);
    EXPECT_EQ(type, (DWORD)REG_EXPAND_SZ);
    DWORD types = 0;
    EXPECT_TRUE(ReadMachineDword(kSourceKey, L"TypesSupported", &types));
    EXPECT_EQ(types, 7u);

    // Registered already: the next run writes nothing into the cache.
    FILETIME before = LastWritten(kSourceKey);
    EXPECT_NE(before.dwLowDateTime | before.dwHighDateTime, 0u);
    Sleep(50);
    SetFilter(96, 8192, 0);
    Flush();
    FILETIME after = LastWritten(kSourceKey);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);

    // A value another program left (or a moved panel) is put right.
    WriteMachineDword(kSourceKey, L"TypesSupported", 4);
    SetFilter(96, 8192, 0);
    Flush();
    EXPECT_TRUE(ReadMachineDword(kSourceKey, L"TypesSupported", &types));
    EXPECT_EQ(types, 7u);
}
