#include "BuildRestartDialog.h"

#include "PanelRegistry.h"
#include "PanelRestart.h"
#include "resource.h"

BuildRestartDialog::BuildRestartDialog(CWnd* parent)
    : CountdownDialog(IDD_BUILD_RESTART, parent,
                      L"The system must be turned off and restarted to initialize Pendrax"),
      m_exitStatus(0)
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
    if (!WriteDriverBootStart()) {
        MessageBox(L"Failed to initialize Pendrax.\nPlease contact your system administrator.",
                   L"Pendrax", MB_OK);
        m_exitStatus = kExitStartNotSet;
    } else if (!RestartOrTell(*this)) {
        m_exitStatus = kExitNotRestarted;
    }
    CDialog::OnOK();
}
