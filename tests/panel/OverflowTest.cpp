// The restart question of a cache that is full as the status dialog opens,
// and the second runs that an open status dialog stops.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"

namespace {

const wchar_t kQuestion[] = L"Cache overflow has occurred, do you want to restart the system?";

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
    EXPECT_TRUE(ControlEnabled(dialog, 1000));
    EXPECT_TRUE(WaitUntil([] { return FilterState().queryCalls >= 2; }, 6000));
    EXPECT_EQ(panel.RestartRequests(), 1);

    // Right after a tick the device goes away and the flush cannot open
    // it: the status line says so rather than go on asking to wait.
    SetFilter(4, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    PressButton(dialog, 1000);
    const wchar_t kFailed[] = L"NTE flash memory write filter FAILED to load";
    EXPECT_TRUE(WaitUntil([&] { return ListLines(dialog, 1002) == std::vector<std::wstring>{ kFailed }; },
                          2000));
    EXPECT_EQ(ControlText(dialog, 1006), kFailed);
    EXPECT_FALSE(ControlEnabled(dialog, 1000));

    PressButton(dialog, IDCANCEL);
    DWORD status;
    EXPECT_TRUE(panel.WaitForExit(10000, &status));
}
