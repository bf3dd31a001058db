// Pendrax, the write filter control panel. Each run does one thing, chosen
// by its command line, and ends: the status dialog, a boot notice, an
// unattended flush that reports by exit status, or a report of the state.
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

#include "BuildRestartDialog.h"
#include "CWinApp.h"
#include "FlushCommand.h"
#include "InitNoticeDialog.h"
#include "QueryCommand.h"
#include "StatusDialog.h"

namespace {

class PanelApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};

PanelApp theApp;

// The exit status of a command line the panel does not know, after its
// box: a script that misspells a switch must not take the run for a success,
// nor for any switch's own outcome. Windows' code for an invalid parameter.
const int kExitInvalidSwitch = ERROR_INVALID_PARAMETER;

bool IsFlushSwitch(LPCWSTR argument)
{
    return _wcsicmp(argument, L"/f") == 0;
}

void ShowStatusDialog()
{
    StatusDialog dialog;
    theApp.m_pMainWnd = &dialog;
    dialog.DoModal();
}

// False for an argument that is no switch of the panel.
bool RunSwitch(LPCWSTR argument)
{
    if (IsFlushSwitch(argument)) {
        int exitStatus = RunFlush();
        if (exitStatus != 0)
            exit(exitStatus);
    } else if (_wcsicmp(argument, L"/i") == 0) {
        InitNoticeDialog().DoModal();
    } else if (_wcsicmp(argument, L"/build") == 0) {
        BuildRestartDialog build;
        build.DoModal();
        if (build.ExitStatus() != 0)
            exit(build.ExitStatus());
    } else {
        return false;
    }
    return true;
}

} // namespace

BOOL PanelApp::InitInstance()
{
    Enable3dControls();

    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);

    // Only reads, so it runs beside an open status dialog and leaves it
    // where it is.
    if (arguments != NULL && count == 2 && _wcsicmp(arguments[1], L"/q") == 0)
        exit(RunQuery());

    // An open status dialog, from whatever process, is the only guard
    // against a second panel; a run that finds one does nothing else.
    HWND running = FindWindowW(L"#32770", L"Write Filter Device Control");
    if (running != NULL) {
        SetForegroundWindow(running);
        if (arguments != NULL && count == 2 && IsFlushSwitch(arguments[1])) {
            ReportFlushRefusedForOpenPanel();
            exit(kExitPanelOpen);
        }
        return FALSE;
    }

    if (arguments != NULL && count == 1)
        ShowStatusDialog();
    else if (arguments == NULL || count != 2 || !RunSwitch(arguments[1])) {
        MessageBoxW(NULL, L"Invalid parameter error\n", L"Pendrax", MB_OK);
        exit(kExitInvalidSwitch);
    }
    return FALSE;
}
