#include "DataExchange.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd == NULL)
        control.m_hWnd = pDX->Control(id);
}

void DDX_Text(CDataExchange* pDX, int id, CString& text)
{
    HWND control = pDX->Control(id);
    if (pDX->m_bSaveAndValidate)
        text.LoadWindowText(control);
    else
        SetWindowTextW(control, text);
}

void DDX_Check(CDataExchange* pDX, int id, BOOL& checked)
{
    HWND control = pDX->Control(id);
    if (pDX->m_bSaveAndValidate)
        checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    else
        SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}
