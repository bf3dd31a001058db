#include "StatusDialog.h"

#include "PanelState.h"
#include "PanelIcon.h"
#include "PanelRestart.h"
#include "StatusText.h"
#include "WriteFilterDevice.h"
#include "resource.h"

namespace {

const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 3000;

} // namespace

StatusDialog::StatusDialog(CWnd* parent)
    : CDialog(IDD_STATUS_DIALOG, parent), m_hIcon(LoadPanelIcon(IDR_MAINFRAME))
{
}

void StatusDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_FLUSH_CACHE, m_flushCache);
    DDX_Control(pDX, IDC_STATE_ICON, m_stateIcon);
    DDX_Control(pDX, IDC_STATUS_LIST, m_statusList);
    DDX_Text(pDX, IDC_STATUS_TEXT, m_statusText);
}

BOOL StatusDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);
    // The overflow question of this first refresh is answered before any
    // timer exists, so no refresh runs while it is open.
    Refresh(TRUE);
    SetTimer(kRefreshTimer, kRefreshMs);
    return TRUE;
}

bool StatusDialog::OnCommand(WORD id, WORD notifyCode)
{
    if (id == IDC_FLUSH_CACHE && notifyCode == BN_CLICKED) {
        // A click that another program sends reaches a disabled button
        // too; the button's state is what allows the one flush.
        if (m_flushCache.IsWindowEnabled())
            OnFlushCache();
        return true;
    }
    return CDialog::OnCommand(id, notifyCode);
}

void StatusDialog::OnTimer(UINT_PTR)
{
    // Each tick replaces the figures rather than adding to them.
    m_statusList.ResetContent();
    Refresh(FALSE);
}

void StatusDialog::Refresh(BOOL firstTime)
{
    WriteFilterDevice device;
    // The device is closed again before the overflow question, which may
    // stay open long.
    PanelState state = ReadFilterState(device, GENERIC_READ);
    if (!HasFigures(state)) {
        ShowFailure(StatusLine(state));
        return;
    }
    // A flush of an overflowed cache may put an inconsistent volume on
    // flash. Only a restart empties a full cache, so the button stays off as
    // it does for the other reasons, also when the restart does not happen.
    if (device.CacheFull())
        m_flushCache.EnableWindow(FALSE);
    if (state == FILTER_ACTIVE) {
        ShowIcon(IDI_BULB_LIT);
        ShowStatusText(kFilterActive);
    } else {
        m_flushCache.EnableWindow(FALSE);
        ShowIcon(IDI_BULB_UNLIT);
        ShowStatusText(kFilterInactive);
    }
    AppendStatusLines(device.status);

    if (firstTime && device.CacheFull()) {
        int answer = MessageBox(L"Cache overflow has occurred, do you want to restart the system?",
                                L"Pendrax", MB_YESNO);
        if (answer == IDYES)
            RestartOrTell(*this);
    }
}

// A refresh that failed stops the refreshing for good; its text and the
// unlit bulb stay until the dialog closes.
void StatusDialog::ShowFailure(LPCWSTR text)
{
    m_statusText = text;
    m_flushCache.EnableWindow(FALSE);
    ShowIcon(IDI_BULB_UNLIT);
    KillTimer(kRefreshTimer);
    UpdateData(FALSE);
}

void StatusDialog::OnFlushCache()
{
    // One flush per dialog: nothing enables the button again.
    m_flushCache.EnableWindow(FALSE);
    m_statusList.ResetContent();
    // Shown before the call that blocks this thread until the driver is done.
    // The line paints itself at once; the emptied list waits for a paint
    // that cannot come while the thread blocks, and would go on showing the
    // old figures.
    ShowStatusText(kFlushWaiting);
    m_statusList.UpdateWindow();

    // The cache may have filled up since the last refresh: the flush looks
    // at it again just before it is sent, and refuses a full one as "/f"
    // does. Figures that cannot be read are no state to flush either.
    WriteFilterDevice device;
    WriteFilterDevice::FlushResult result = device.Flush(GENERIC_READ | GENERIC_WRITE);
    // A flush longer than the refresh period leaves a tick due, which would
    // replace the result below at once; the result gets a whole period.
    KillTimer(kRefreshTimer);
    SetTimer(kRefreshTimer, kRefreshMs);
    // Only once the driver is done: an icon set before the blocking call is
    // left drawn as a black shape for the whole of the flush.
    ShowIcon(IDI_BULB_UNLIT);
    switch (result) {
    case WriteFilterDevice::FLUSH_NOT_OPENED:
        m_statusList.AddString(kFilterFailed);
        // Nothing is flushing any more: the line must not say so until the
        // next refresh.
        ShowStatusText(kFilterFailed);
        return;
    case WriteFilterDevice::FLUSH_CACHE_FULL:
        // The figures that show why.
        AppendStatusLines(device.status);
        ShowStatusText(kFlushRefusedFull);
        return;
    case WriteFilterDevice::FLUSH_DONE:
        AppendStatusLines(device.status);
        ShowStatusText(kFlushDone);
        return;
    default:
        ShowStatusText(kFilterFailed);
        return;
    }
}

void StatusDialog::ShowIcon(UINT iconId)
{
    m_hIcon = LoadPanelIcon(iconId);
    m_stateIcon.SetIcon(m_hIcon);
}

void StatusDialog::ShowStatusText(LPCWSTR text)
{
    m_statusText = text;
    UpdateData(FALSE);
}

void StatusDialog::AppendStatusLines(const WriteFilterStatus& status)
{
    CString line;
    line.Format(L"count of 512 byte blocks in use = %d", (int)status.blocksInUse);
    m_statusList.AddString(line);
    line.Format(L"count of 512 byte blocks total = %d", (int)status.blocksTotal);
    m_statusList.AddString(line);
    line.Format(L"BOOL for mode query %d", (int)status.mode);
    m_statusList.AddString(line);
    line.Format(L"count of entries flushed %d", (int)status.entriesFlushed);
    m_statusList.AddString(line);
}

bool StatusDialog::OnPaint()
{
    if (!IsIconic())
        return false;
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.m_hDC);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.m_hDC, x, y, m_hIcon);
    return true;
}

HCURSOR StatusDialog::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}
