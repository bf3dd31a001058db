// The "/build" dialog: five runs side by side, since each pauses 15 s
// before it shows. One is cancelled with Escape, one closed, one closed
// by a user whom Windows refuses a restart, one closed while the driver's
// key is missing, and one left to its countdown.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"

namespace {

const wchar_t kMessage[] = L"The system must be turned off and restarted to initialize Pendrax";
const wchar_t kFailure[] = L"Failed to initialize Pendrax.\nPlease contact your system administrator.";
const wchar_t kRestartFailed[] =
    L"Failed to restart the system.\nPlease restart it yourself or contact your system administrator.";

DWORD Start()
{
    DWORD start = 99;
    EXPECT_TRUE(ReadMachineDword(kDriverKey, L"Start", &start));
    return start;
}

} // namespace

TEST(BuildRestart, EscapeCloseAndCountdownAKeyThatCannotBeWrittenAndARefusedRestart)
{
    WriteMachineDword(kDriverKey, L"Start", 2);
    DWORD began = GetTickCount();
    PanelRun escaped(L"/build"), closed(L"/BUILD"), failing(L"/Build"), counted(L"\"/build\""),
        refused(L"/build", RunAs::kUserWithoutShutdown);

    // Nothing shows during the pause.
    EXPECT_EQ(counted.WaitForWindow(L"Pendrax", 10000), (HWND)NULL);
    HWND countdown = counted.WaitForWindow(L"Pendrax", 15000);
    ASSERT_NE(countdown, (HWND)NULL);
    EXPECT_GE(GetTickCount() - began, 14000u);
    EXPECT_EQ(ControlText(countdown, 1006), kMessage);
    std::wstring line = ControlText(countdown, 1010);
    EXPECT_TRUE(line == L"Timeout(in second) : 10" || line == L"Timeout(in second) : 9") << line;

    // Escape leaves the registry and the computer alone.
    HWND escape = escaped.WaitForWindow(L"Pendrax");
    ASSERT_NE(escape, (HWND)NULL);
    PostMessageW(GetDlgItem(escape, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    DWORD status = 99;
    EXPECT_TRUE(escaped.WaitForExit(5000, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Start(), 2u);
    EXPECT_EQ(escaped.RestartRequests(), 0);

    // "Close" does at once what the end of the countdown does.
    HWND close = closed.WaitForWindow(L"Pendrax");
    ASSERT_NE(close, (HWND)NULL);
    PressButton(close, IDOK);
    EXPECT_TRUE(closed.WaitForExit(5000, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Start(), 0u);
    EXPECT_EQ(closed.RestartRequests(), 1);

    // Without the right to restart: "Start" is set, and a box says that the
    // restart did not happen; the run's status tells a script.
    WriteMachineDword(kDriverKey, L"Start", 2);
    HWND unprivileged = refused.WaitForWindow(L"Pendrax");
    ASSERT_NE(unprivileged, (HWND)NULL);
    PressButton(unprivileged, IDOK);
    HWND box = refused.WaitForBox(L"Pendrax", kRestartFailed, 5000);
    EXPECT_NE(box, (HWND)NULL);
    EXPECT_EQ(Start(), 0u);
    if (box != NULL)
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(refused.WaitForExit(5000, &status));
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(refused.RestartRequests(), 0);

    // Without the driver's key: the failure box and no restart.
    DeleteMachineKeyTree(kDriverKey);
    HWND fail = failing.WaitForWindow(L"Pendrax");
    ASSERT_NE(fail, (HWND)NULL);
    PressButton(fail, IDOK);
    HWND failure = failing.WaitForBox(L"Pendrax", kFailure, 5000);
    EXPECT_NE(failure, (HWND)NULL);
    if (failure != NULL)
        PostMessageW(failure, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(failing.WaitForExit(5000, &status));
    EXPECT_EQ(status, 4u);
    EXPECT_EQ(failing.RestartRequests(), 0);
    DWORD missing;
    EXPECT_FALSE(ReadMachineDword(kDriverKey, L"Start", &missing));

    // The countdown ends by itself, about 10 s after the dialog showed.
    WriteMachineDword(kDriverKey, L"Start", 2);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(countdown, 1010) == L"Timeout(in second) : 1"; },
                          12000));
    EXPECT_TRUE(counted.WaitForExit(5000, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Start(), 0u);
    EXPECT_EQ(counted.RestartRequests(), 1);
}
