// The panel's main window "Write Filter Device Control": the write filter's
// state in one line and one icon, the figures of its cache refreshed every
// 3 seconds, a single flush of the cache, and a restart offered when the
// cache is already full as the dialog opens.
#pragma once

#include "CDialog.h"
#include "CString.h"
#include "DataExchange.h"
#include "WriteFilterProtocol.h"

class StatusDialog : public CDialog
{
public:
    explicit StatusDialog(CWnd* parent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notifyCode) override;
    void OnTimer(UINT_PTR id) override;
    bool OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

private:
    void Refresh(BOOL firstTime);
    void ShowFailure(LPCWSTR text);
    void OnFlushCache();
    void ShowIcon(UINT iconId);
    void ShowStatusText(LPCWSTR text);
    void AppendStatusLines(const WriteFilterStatus& status);

    CButton m_flushCache;
    CStatic m_stateIcon;
    CListBox m_statusList;
    CString m_statusText;
    HICON m_hIcon;
};
