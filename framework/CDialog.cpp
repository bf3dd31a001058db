#include "CDialog.h"

#include "CWinApp.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent)
{
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the application's main window, once it exists, owns
    // the dialog, so that it cannot slip behind it.
    HWND owner = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL;
    CWinApp* app = AfxGetApp();
    if (owner == NULL && app->m_pMainWnd != NULL && app->m_pMainWnd != this)
        owner = app->m_pMainWnd->m_hWnd;
    INT_PTR result = DialogBoxParamW(app->m_hInstance, MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                     DialogProc, (LPARAM)this);
    m_hWnd = NULL;
    // The window is gone: the application forgets it as its main window.
    if (app->m_pMainWnd == this)
        app->m_pMainWnd = NULL;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

bool CDialog::OnCommand(WORD id, WORD)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else
        return false;
    return true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        return dialog->OnInitDialog();
    }
    // Messages that come before WM_INITDIALOG find no dialog object yet.
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog != NULL ? dialog->HandleMessage(message, wParam) : FALSE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
        OnTimer(wParam);
        return FALSE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        // One of the messages whose answer is the dialog procedure's result.
        return (INT_PTR)OnQueryDragIcon();
    default:
        return FALSE;
    }
}
