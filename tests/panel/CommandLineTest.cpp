// Pendrax's switches: the exit statuses of "/f" as the parent process sees
// them, and the box and the status every other command line gets.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>

#include "PanelRun.h"

namespace {

DWORD FlushRun(const wchar_t* arguments)
{
    PanelRun run(arguments);
    DWORD status = 0xDEAD;
    EXPECT_TRUE(run.WaitForExit(20000, &status)) << arguments;
    return status;
}

} // namespace

TEST(CommandLine, FlushReportsByExitStatus)
{
    SetFilter(7, 8192, 0);
    EXPECT_EQ(FlushRun(L"/f"), 0u);
    EXPECT_EQ(FilterState().flushCalls, 1u);
    SetFilter(7, 8192, 0);
    EXPECT_EQ(FlushRun(L"\"/F\""), 0u);
    EXPECT_EQ(FilterState().flushCalls, 1u);

    SetFilter(8192, 8192, 0);
    EXPECT_EQ(FlushRun(L"/F"), 0xFFFFFFFFu);
    EXPECT_EQ(FilterState().flushCalls, 0u);
    SetFilter(8193, 8192, 0);
    EXPECT_EQ(FlushRun(L"/f"), 0xFFFFFFFFu);
    EXPECT_EQ(FilterState().flushCalls, 0u);
    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_FLUSH);
    EXPECT_EQ(FlushRun(L"/f"), 0xFFFFFFFFu);
    SetFilter(7, 8192, 0, WRITE_FILTER_FAULT_HIDDEN);
    EXPECT_EQ(FlushRun(L"/f"), 1u);
    SetFilter(7, 8192, 0);
}

TEST(CommandLine, AnythingElseGetsTheInvalidParameterBoxAndAStatusOfItsOwn)
{
    SetFilter(7, 8192, 0);
    const wchar_t* const lines[] = { L"/f /i", L"-f", L"/ff", L"f", L"/build now", L"\"/i \"" };
    // Side by side: each waits for its box to be answered.
    std::vector<std::unique_ptr<PanelRun>> runs;
    for (const wchar_t* line : lines)
        runs.emplace_back(new PanelRun(line));
    for (size_t i = 0; i < runs.size(); ++i) {
        HWND box = runs[i]->WaitForBox(L"Pendrax", L"Invalid parameter error\n");
        EXPECT_NE(box, (HWND)NULL) << lines[i];
        if (box != NULL)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        DWORD status = 0;
        EXPECT_TRUE(runs[i]->WaitForExit(10000, &status)) << lines[i];
        // Neither a success nor any outcome of "/f" (0, 1, -1, 2).
        EXPECT_EQ(status, 87u) << lines[i];
    }
    WriteFilterTestState state = FilterState();
    EXPECT_EQ(state.queryCalls, 0u);
    EXPECT_EQ(state.flushCalls, 0u);
}
