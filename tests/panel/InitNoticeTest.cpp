// The boot notice of "/i": what "init" and "initTime" make of it, the state
// it tells, and the check box that writes "init" at each click.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"

namespace {

const wchar_t kActive[] = L"NTE flash memory write filter is ACTIVE";
const wchar_t kInactive[] = L"NTE flash memory write filter is INACTIVE";

bool Checked(HWND dialog)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, 1007), BM_GETCHECK, 0, 0, SMTO_BLOCK, 5000, &state);
    return state == BST_CHECKED;
}

// 99 while there is none.
DWORD InitValue()
{
    DWORD value = 99;
    ReadMachineDword(kPanelKeyPath, L"init", &value);
    return value;
}

// A notice without a countdown: it tells the state and stays until closed.
void ExpectStaysWith(const wchar_t* text)
{
    PanelRun notice(L"/i");
    HWND dialog = notice.WaitForWindow(L"Pendrax");
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(ControlText(dialog, 1006), text);
    Sleep(2500);
    EXPECT_EQ(ControlText(dialog, 1010), L"");
    DWORD status;
    EXPECT_FALSE(notice.WaitForExit(0, &status));
    PressButton(dialog, IDOK);
    EXPECT_TRUE(notice.WaitForExit(10000, &status));
}

} // namespace

TEST(InitNotice, InitZeroEndsTheRunWithoutTouchingTheDevice)
{
    WriteMachineDword(kPanelKeyPath, L"init", 0x10000);  // low 16 bits: 0
    SetFilter(5, 8192, 0);
    PanelRun notice(L"/i");
    DWORD status;
    EXPECT_TRUE(notice.WaitForExit(10000, &status));
    EXPECT_EQ(FilterState().queryCalls, 0u);
    DeleteMachineValue(kPanelKeyPath, L"init");
}

TEST(InitNotice, CountsDownAndClosesItselfTellingTheStateByTheBlocksInUse)
{
    DeleteMachineValue(kPanelKeyPath, L"init");
    WriteMachineDword(kPanelKeyPath, L"initTime", 2);
    // The mode says inactive; the blocks in use decide.
    SetFilter(5, 8192, 1);
    PanelRun notice(L"/I");
    HWND dialog = notice.WaitForWindow(L"Pendrax");
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(ControlText(dialog, 1006), kActive);
    EXPECT_TRUE(Checked(dialog));
    std::wstring first = ControlText(dialog, 1010);
    EXPECT_TRUE(first == L"Timeout(in second) : 2" || first == L"Timeout(in second) : 1") << first;
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1010) == L"Timeout(in second) : 1"; }, 3000));
    DWORD status;
    EXPECT_TRUE(notice.WaitForExit(4000, &status));
    DWORD init;
    EXPECT_FALSE(ReadMachineDword(kPanelKeyPath, L"init", &init)) << "closing wrote init";
}

TEST(InitNotice, CheckBoxWritesInitAtEachClickAndACountdownOfZeroNeverCloses)
{
    // 65536 has 0 in its low 16 bits.
    WriteMachineDword(kPanelKeyPath, L"initTime", 65536);
    SetFilter(0, 8192, 0);
    PanelRun notice(L"\"/i\"");
    HWND dialog = notice.WaitForWindow(L"Pendrax");
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(ControlText(dialog, 1006), kInactive);

    PressButton(dialog, 1007);
    EXPECT_TRUE(WaitUntil([] { return InitValue() == 0; }, 3000));
    EXPECT_FALSE(Checked(dialog));
    PressButton(dialog, 1007);
    EXPECT_TRUE(WaitUntil([] { return InitValue() == 1; }, 3000));

    Sleep(1500);
    EXPECT_EQ(ControlText(dialog, 1010), L"");
    DWORD status;
    EXPECT_FALSE(notice.WaitForExit(0, &status));
    PressButton(dialog, IDOK);
    EXPECT_TRUE(notice.WaitForExit(10000, &status));
    EXPECT_EQ(InitValue(), 1u);
}

TEST(InitNotice, WithoutADeviceOrAStatusThereIsNoCountdown)
{
    WriteMachineDword(kPanelKeyPath, L"initTime", 1);
    WriteMachineDword(kDriverKey, L"Start", 4);
    SetFilter(1, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    ExpectStaysWith(L"NTE flash memory write filter is DISABLED");
    WriteMachineDword(kDriverKey, L"Start", 2);
    ExpectStaysWith(L"NTE flash memory write filter FAILED to load");
    SetFilter(1, 8192, 0, WRITE_FILTER_FAULT_QUERY);
    ExpectStaysWith(L"NTE flash memory write filter FAILED to load");
    DeleteMachineValue(kPanelKeyPath, L"initTime");
}

TEST(InitNotice, OnlyNumbersCountAsNumbers)
{
    // A string's characters are no number: "" is not 0 and "5" is not 53.
    WriteMachineValue(kPanelKeyPath, L"init", REG_SZ, L"", sizeof(wchar_t));
    WriteMachineValue(kPanelKeyPath, L"initTime", REG_SZ, L"5", 2 * sizeof(wchar_t));
    SetFilter(5, 8192, 0);
    PanelRun notice(L"/i");
    HWND dialog = notice.WaitForWindow(L"Pendrax");
    ASSERT_NE(dialog, (HWND)NULL);
    std::wstring first = ControlText(dialog, 1010);
    EXPECT_TRUE(first == L"Timeout(in second) : 10" || first == L"Timeout(in second) : 9") << first;
    PressButton(dialog, IDOK);
    DWORD status;
    EXPECT_TRUE(notice.WaitForExit(10000, &status));
    // A short binary value is a number: one byte of 0 hides the notice.
    const BYTE zero = 0;
    WriteMachineValue(kPanelKeyPath, L"init", REG_BINARY, &zero, 1);
    EXPECT_TRUE(PanelRun(L"/i").WaitForExit(10000, &status));
    DeleteMachineValue(kPanelKeyPath, L"init");
    DeleteMachineValue(kPanelKeyPath, L"initTime");
}
