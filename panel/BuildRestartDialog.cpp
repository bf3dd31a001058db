#include "BuildRestartDialog.h"

#include "PanelRegistry.h"
#include "WriteFilterDevice.h"
#include "resource.h"

BuildRestartDialog::BuildRestartDialog(CWnd* parent)
    : CountdownDialog(IDD_BUILD_RESTART, parent,
                      L"The system must be turned off and restarted to initialize Pendrax")
{
}

BOOL BuildRestartDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The rest of the build settles first; the dialog is not on screen yet.
    Sleep(15000);
    StartCountdown();
    UpdateData(FALSE);
    return TRUE;
}

void BuildRestartDialog::OnOK()
{
    // No tick may start this again while the message box is open.
    StopCountdown();
    if (WriteDriverBootStart())
        WriteFilterDevice().RestartSystem();
    else
        MessageBox(L"Failed to initialize Pendrax.\nPlease contact your system administrator.",
                   L"Pendrax", MB_OK);
    CDialog::OnOK();
}
