// The boot notice of "/i": whether the write filter is active, a countdown
// that closes the notice, and a check box that decides through the registry
// whether later runs show it at all.
#pragma once

#include "CountdownDialog.h"

class InitNoticeDialog : public CountdownDialog
{
public:
    explicit InitNoticeDialog(CWnd* parent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notifyCode) override;
    void OnCountdownEnd() override { EndDialog(IDOK); }

private:
    void OnCheckShowInFuture();

    BOOL m_bShowInFuture;
};
