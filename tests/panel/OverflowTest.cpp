// The restart question of a cache that is full as the status dialog opens,
// a full cache that the dialog refuses to flush, and the second runs that
// an open status dialog stops.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"

namespace {

const wchar_t kQuestion[] = L"Cache overflow has occurred, do you want to restart the system?";
const wchar_t kRestartFailed[] =
    L"Failed to restart the system.\nPlease restart it yourself or contact your system administrator.";
const wchar_t kActive[] = L"NTE flash memory write filter is ACTIVE";
const wchar_t kFailed[] = L"NTE flash memory write filter FAILED to load";
const wchar_t kRefused[] = L"The cache is full and cannot be flushed: restart the system.";

void Answer(HWND box, int button)
{
    PostMessageW(box, WM_COMMAND, button, 0);
}

} // namespace

TEST(OverflowQuestion, NoDisablesFlushAndAnOpenPanelStopsEveryOtherRun)
{
    SetFilter(8192, 8192, 0);
    PanelRun panel(L"");
    HWND box = panel.WaitForBox(L"Pendrax", kQuestion);
    ASSERT_NE(box, (HWND)NULL);
    // No refresh runs while the question is open.
    Sleep(4000);
    EXPECT_EQ(FilterState().queryCalls, 1u);
    Answer(box, IDNO);

    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    // Refreshing goes on over a cache that is still full, with no question.
    EXPECT_TRUE(WaitUntil([] { return FilterState().queryCalls >= 3; }, 9000));
    EXPECT_EQ(panel.WaitForBox(L"Pendrax", kQuestion, 0), (HWND)NULL);
    EXPECT_EQ(panel.RestartRequests(), 0);

    // Another run, whatever its switch, only brings the open panel forward;
    // a flush that was not done says so by its status.
    SetFilter(10, 8192, 0);
    const struct {
        const wchar_t* arguments;
        DWORD status;
    } runs[] = { { L"/f", 2 }, { L"\"/F\"", 2 }, { L"", 0 }, { L"/i", 0 }, { L"/nonsense", 0 } };
    for (const auto& run : runs) {
        PanelRun second(run.arguments);
        DWORD status = 99;
        EXPECT_TRUE(second.WaitForExit(10000, &status)) << run.arguments;
        EXPECT_EQ(status, run.status) << run.arguments;
        EXPECT_EQ(second.WaitForWindow(L"Pendrax", 0), (HWND)NULL);
    }
    EXPECT_EQ(FilterState().flushCalls, 0u);

    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

TEST(OverflowQuestion, YesRequestsTheRestartAndRefreshingGoesOn)
{
    // An empty cache of no blocks counts as full as well.
    SetFilter(0, 0, 0);
    PanelRun panel(L"");
    HWND box = panel.WaitForBox(L"Pendrax", kQuestion);
    ASSERT_NE(box, (HWND)NULL);
    Answer(box, IDYES);
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_TRUE(WaitUntil([&] { return panel.RestartRequests() == 1; }, 5000));
    // The terminal's restart request returns at once and the dialog goes
    // on; its cache still cannot take a flush.
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    EXPECT_TRUE(WaitUntil([] { return FilterState().queryCalls >= 2; }, 6000));
    EXPECT_EQ(panel.RestartRequests(), 1);
    EXPECT_EQ(panel.WaitForBox(L"Pendrax", kRestartFailed, 0), (HWND)NULL);
    EXPECT_EQ(FilterState().flushCalls, 0u);

    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

TEST(OverflowQuestion, YesWithoutTheRightToRestartSaysSo)
{
    SetFilter(8192, 8192, 0);
    PanelRun panel(L"", RunAs::kUserWithoutShutdown);
    HWND question = panel.WaitForBox(L"Pendrax", kQuestion);
    ASSERT_NE(question, (HWND)NULL);
    Answer(question, IDYES);
    HWND box = panel.WaitForBox(L"Pendrax", kRestartFailed, 5000);
    ASSERT_NE(box, (HWND)NULL);
    EXPECT_EQ(panel.RestartRequests(), 0);

    // Once the box is answered the dialog shows and goes on refreshing, with
    // Flush Cache off over the full cache.
    Answer(box, IDOK);
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_TRUE(WaitUntil([] { return FilterState().queryCalls >= 3; }, 9000));
    EXPECT_FALSE(ControlEnabled(dialog, 1000));
    EXPECT_EQ(ControlText(dialog, 1006), kActive);
    PressButton(dialog, 1000);
    Sleep(1000);
    EXPECT_EQ(FilterState().flushCalls, 0u);

    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

namespace {

// A status dialog opened over a cache with room, and the moment just after
// one of its refresh ticks: the next comes 3 s later.
HWND OpenWithRoomUntilATick(PanelRun& panel)
{
    HWND dialog = panel.WaitForWindow(kStatusTitle);
    if (dialog == NULL)
        return NULL;
    EXPECT_TRUE(ControlEnabled(dialog, 1000));
    SetFilter(10, 8192, 0);
    EXPECT_TRUE(WaitUntil([] { return FilterState().queryCalls >= 1; }, 6000));
    return dialog;
}

void CloseAndWait(PanelRun& panel, HWND dialog)
{
    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}

} // namespace

TEST(FullCache, IsNeverFlushedFromTheDialog)
{
    // The cache fills up while the dialog is open: the next tick turns Flush
    // Cache off, with no question, and a click sent anyway flushes nothing.
    {
        SetFilter(10, 8192, 0);
        PanelRun panel(L"");
        HWND dialog = OpenWithRoomUntilATick(panel);
        ASSERT_NE(dialog, (HWND)NULL);
        SetFilter(8192, 8192, 0);
        EXPECT_TRUE(WaitUntil([&] { return !ControlEnabled(dialog, 1000); }, 6000));
        EXPECT_EQ(ControlText(dialog, 1006), kActive);
        EXPECT_EQ(panel.WaitForBox(L"Pendrax", kQuestion, 0), (HWND)NULL);
        PressButton(dialog, 1000);
        Sleep(1000);
        EXPECT_EQ(FilterState().flushCalls, 0u);
        CloseAndWait(panel, dialog);
    }

    // The cache fills up between a tick and the click: the figures read just
    // before the flush refuse it, and show why.
    {
        SetFilter(10, 8192, 0);
        PanelRun panel(L"");
        HWND dialog = OpenWithRoomUntilATick(panel);
        ASSERT_NE(dialog, (HWND)NULL);
        SetFilter(8192, 8192, 0);
        PressButton(dialog, 1000);
        EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == kRefused; }, 2500));
        std::vector<std::wstring> figures = ListLines(dialog, 1002);
        ASSERT_EQ(figures.size(), 4u);
        EXPECT_EQ(figures[0], L"count of 512 byte blocks in use = 8192");
        EXPECT_EQ(figures[1], L"count of 512 byte blocks total = 8192");
        WriteFilterTestState state = FilterState();
        EXPECT_EQ(state.flushCalls, 0u);
        EXPECT_EQ(state.status.blocksInUse, 8192u);
        EXPECT_FALSE(ControlEnabled(dialog, 1000));
        // The next tick shows the state again.
        EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, 1006) == kActive; }, 6000));
        CloseAndWait(panel, dialog);
    }

    // A cache with room is still flushed; here the device goes away right
    // after a tick, and the status line says the flush could not happen
    // rather than go on asking to wait.
    {
        SetFilter(10, 8192, 0);
        PanelRun panel(L"");
        HWND dialog = OpenWithRoomUntilATick(panel);
        ASSERT_NE(dialog, (HWND)NULL);
        SetFilter(4, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
        PressButton(dialog, 1000);
        EXPECT_TRUE(WaitUntil([&] { return ListLines(dialog, 1002) == std::vector<std::wstring>{ kFailed }; },
                              2000));
        EXPECT_EQ(ControlText(dialog, 1006), kFailed);
        EXPECT_FALSE(ControlEnabled(dialog, 1000));
        CloseAndWait(panel, dialog);
    }
}
