// What the two boot notices share: the state icon, a text line, and the
// line "Timeout(in second) : N" of a countdown that ticks once a second.
#pragma once

#include "CDialog.h"
#include "CString.h"
#include "DataExchange.h"

class CountdownDialog : public CDialog
{
protected:
    CountdownDialog(UINT templateId, CWnd* parent, LPCWSTR text);

    void DoDataExchange(CDataExchange* pDX) override;
    // Counts one second down and calls OnCountdownEnd at 0.
    void OnTimer(UINT_PTR id) override;
    virtual void OnCountdownEnd() = 0;

    // Shows the counter and starts the next tick.
    void StartCountdown();
    void StopCountdown() { KillTimer(kCountdownTimer); }
    void ShowIcon(UINT iconId);

    CStatic m_stateIcon;
    CString m_text;
    CString m_countdownText;
    HICON m_hIcon;
    // Seconds left.
    int m_nCountdown;

private:
    void ShowCounter();

    static const UINT_PTR kCountdownTimer = 1;
};
