#include "InitNoticeDialog.h"

#include "PanelRegistry.h"
#include "PanelState.h"
#include "StatusText.h"
#include "WriteFilterDevice.h"
#include "resource.h"

InitNoticeDialog::InitNoticeDialog(CWnd* parent)
    : CountdownDialog(IDD_INIT_NOTICE, parent, L""), m_bShowInFuture(TRUE)
{
}

void InitNoticeDialog::DoDataExchange(CDataExchange* pDX)
{
    CountdownDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_SHOW_IN_FUTURE, m_bShowInFuture);
}

BOOL InitNoticeDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    WORD value;
    // Asked not to show the notice: the run ends here, without touching the
    // device.
    if (ReadLowWord(kPanelKey, L"init", &value) && value == 0) {
        EndDialog(IDOK);
        return TRUE;
    }
    if (ReadLowWord(kPanelKey, L"initTime", &value))
        m_nCountdown = value;

    // Without a state to tell, the notice stays until the user closes it.
    WriteFilterDevice device;
    PanelState state = ReadFilterState(device, 0);
    if (!HasFigures(state)) {
        m_text = StatusLine(state);
        UpdateData(FALSE);
        return TRUE;
    }

    // The notice goes by the blocks in use, not by the mode byte.
    bool inUse = device.status.blocksInUse != 0;
    m_text = inUse ? kFilterActive : kFilterInactive;
    ShowIcon(inUse ? IDI_BULB_LIT : IDI_BULB_UNLIT);
    if (m_nCountdown != 0)
        StartCountdown();
    UpdateData(FALSE);
    return TRUE;
}

bool InitNoticeDialog::OnCommand(WORD id, WORD notifyCode)
{
    if (id == IDC_SHOW_IN_FUTURE && notifyCode == BN_CLICKED) {
        OnCheckShowInFuture();
        return true;
    }
    return CountdownDialog::OnCommand(id, notifyCode);
}

// The choice is stored at each click; closing the notice writes nothing. A
// failed write is not reported.
void InitNoticeDialog::OnCheckShowInFuture()
{
    UpdateData(TRUE);
    WriteShowNotice(m_bShowInFuture != FALSE);
}
