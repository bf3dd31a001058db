// A modal dialog on a plain Win32 dialog template. Its dialog procedure
// forwards to virtual handlers; a derived dialog routes its own control
// notifications in OnCommand, in place of a message map.
#pragma once

#include <windows.h>

#include "CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = NULL);

    // IDOK, IDCANCEL or what EndDialog was given; -1 when the dialog
    // could not be created.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

protected:
    // Fills the controls from the members.
    virtual BOOL OnInitDialog();
    // Takes the controls into the members and ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // True when the command was handled. Routes IDOK and IDCANCEL.
    virtual bool OnCommand(WORD id, WORD notifyCode);
    // The default window procedure sees every timer message afterwards.
    virtual void OnTimer(UINT_PTR) {}
    // False leaves painting to the default window procedure.
    virtual bool OnPaint() { return false; }
    virtual HCURSOR OnQueryDragIcon() { return NULL; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
