// The status dialog of a run without a switch, driven through the states a
// user watches it go through: one open panel on this terminal at a time.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"

namespace {

const wchar_t kActive[] = L"NTE flash memory write filter is ACTIVE";
const wchar_t kInactive[] = L"NTE flash memory write filter is INACTIVE";
const wchar_t kDisabled[] = L"NTE flash memory write filter is DISABLED";
const wchar_t kFailed[] = L"NTE flash memory write filter FAILED to load";
// A refresh tick comes every 3 s; this leaves room for a slow terminal.
const DWORD kTickWait = 6000;

std::vector<std::wstring> Lines(int inUse, int total, int mode, int flushed)
{
    return { L"count of 512 byte blocks in use = " + std::to_wstring(inUse),
             L"count of 512 byte blocks total = " + std::to_wstring(total),
             L"BOOL for mode query " + std::to_wstring(mode),
             L"count of entries flushed " + std::to_wstring(flushed) };
}

void CloseAndWait(PanelRun& panel, HWND dialog)
{
    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

} // namespace

TEST(StatusDialog, RefreshesFlushesOnceAndStopsForGoodAfterAFailure)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    SetFilter(96, 8192, 0);
    PanelRun panel(L"");
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);

    EXPECT_EQ(ControlText(dialog, 1006), kActive);
    EXPECT_EQ(ListLines(dialog, 1002), Lines(96, 8192, 0, 0));
    EXPECT_TRUE(ControlEnabled(dialog, 1000));
    HICON lit = ShownIcon(dialog, 1005);

    // Each tick replaces the four lines; a mode other than 1 is active.
    SetFilter(100, 8192, 2);
    EXPECT_TRUE(WaitUntil([&] { return ListLines(dialog, 1002) == Lines(100, 8192, 2, 0); },
                          kTickWait));
    EXPECT_TRUE(WaitUntil([&] { return FilterState().queryCalls >= 2; }, kTickWait));
    EXPECT_EQ(ListLines(dialog, 1002), Lines(100, 8192, 2, 0));
    EXPECT_EQ(ControlText(dialog, 1006), kActive);

    // The wait line is up while the driver takes its time over the flush.
    // The flush outlasts a refresh period, and its result still stays up
    // until a whole period later.
    SetFilter(100, 8192, 2, 0, 4000);
    PressButton(dialog, 1000);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == L"Flushing cache... please wait."; },
                          2400));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == L"Flushing cache is done."; },
                          kTickWait));
    EXPECT_EQ(ListLines(dialog, 1002), Lines(0, 8192, 2, 100));
    HICON unlit = ShownIcon(dialog, 1005);
    EXPECT_NE(unlit, lit);
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    // A click sent to the disabled button by another program flushes nothing.
    PressButton(dialog, 1000);
    // The next tick shows the state again; the button stays off for good.
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == kActive; }, kTickWait));
    EXPECT_EQ(ShownIcon(dialog, 1005), lit);
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    EXPECT_EQ(FilterState().flushCalls, 1u);

    // Inactive: the unlit bulb, and the figures keep coming.
    SetFilter(5, 8192, 1);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == kInactive; }, kTickWait));
    EXPECT_EQ(ShownIcon(dialog, 1005), unlit);
    SetFilter(6, 8192, 1);
    EXPECT_TRUE(WaitUntil([&] { return ListLines(dialog, 1002) == Lines(6, 8192, 1, 0); },
                          kTickWait));

    // The device gone and the driver disabled: the list is cleared, and
    // refreshing ends even when the device comes back.
    WriteMachineDword(kDriverKey, L"Start", 4);
    SetFilter(6, 8192, 1, WRITE_FILTER_FAULT_HIDDEN);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == kDisabled; }, kTickWait));
    EXPECT_TRUE(ListLines(dialog, 1002).empty());
    SetFilter(7, 8192, 0);
    Sleep(kTickWait);
    EXPECT_EQ(ControlText(dialog, 1006), kDisabled);
    EXPECT_EQ(FilterState().queryCalls, 0u);
    EXPECT_EQ(ShownIcon(dialog, 1005), unlit);

    CloseAndWait(panel, dialog);
    WriteMachineDword(kDriverKey, L"Start", 2);
}

// The first refresh runs before the timer exists, so its failure stops
// nothing; the second failure stops the refreshing.
TEST(StatusDialog, AFailedQueryAtOpeningIsTriedOnceMore)
{
    SetFilter(1, 8192, 0, WRITE_FILTER_FAULT_QUERY);
    PanelRun panel(L"");
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(ControlText(dialog, 1006), kFailed);
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    EXPECT_TRUE(WaitUntil([&] { return FilterState().queryCalls == 2; }, kTickWait));
    Sleep(kTickWait);
    EXPECT_EQ(FilterState().queryCalls, 2u);
    EXPECT_EQ(ControlText(dialog, 1006), kFailed);
    EXPECT_TRUE(ListLines(dialog, 1002).empty());
    CloseAndWait(panel, dialog);
}
