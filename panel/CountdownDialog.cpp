#include "CountdownDialog.h"

#include "PanelIcon.h"
#include "resource.h"

CountdownDialog::CountdownDialog(UINT templateId, CWnd* parent, LPCWSTR text)
    : CDialog(templateId, parent), m_text(text), m_hIcon(NULL), m_nCountdown(10)
{
}

void CountdownDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_STATE_ICON, m_stateIcon);
    DDX_Text(pDX, IDC_STATUS_TEXT, m_text);
    DDX_Text(pDX, IDC_COUNTDOWN, m_countdownText);
}

void CountdownDialog::StartCountdown()
{
    // Killed before it is set again, so that at most one tick is pending.
    StopCountdown();
    SetTimer(kCountdownTimer, 1000);
    ShowCounter();
}

void CountdownDialog::ShowCounter()
{
    m_countdownText.Format(L"Timeout(in second) : %d", m_nCountdown);
}

void CountdownDialog::OnTimer(UINT_PTR)
{
    StopCountdown();
    --m_nCountdown;
    ShowCounter();
    if (m_nCountdown > 0)
        SetTimer(kCountdownTimer, 1000);
    else
        OnCountdownEnd();
    UpdateData(FALSE);
}

void CountdownDialog::ShowIcon(UINT iconId)
{
    m_hIcon = LoadPanelIcon(iconId);
    m_stateIcon.SetIcon(m_hIcon);
}
