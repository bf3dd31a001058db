// Binding dialog controls to members: one direction per UpdateData call.
#pragma once

#include <windows.h>

#include "CString.h"
#include "CWnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    HWND Control(int id) const { return GetDlgItem(m_pDlgWnd->m_hWnd, id); }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Gives the control wrapper the handle of the dialog's control.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, CString& text);
void DDX_Check(CDataExchange* pDX, int id, BOOL& checked);
