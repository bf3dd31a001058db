// Thin wrappers of a window handle: the window calls the panel makes, and
// the controls its dialogs bind to members. None of them owns its window.
#pragma once

#include <windows.h>

class CDataExchange;

class CWnd
{
public:
    CWnd() : m_hWnd(NULL) {}
    virtual ~CWnd() {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    int MessageBox(LPCWSTR text, LPCWSTR caption, UINT type = MB_OK)
    {
        return ::MessageBoxW(m_hWnd, text, caption, type);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) { return ::SetTimer(m_hWnd, id, elapseMs, NULL); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // Paints what is waiting to be painted now, not at the next message.
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }

    // FALSE copies members into controls, TRUE copies controls into members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    HWND m_hWnd;

protected:
    virtual void DoDataExchange(CDataExchange*) {}
};

class CButton : public CWnd
{
};

class CStatic : public CWnd
{
public:
    HICON SetIcon(HICON icon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)icon); }
};

class CListBox : public CWnd
{
public:
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int AddString(LPCWSTR text) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)text); }
};

// Painting a window between BeginPaint and EndPaint.
class CPaintDC
{
public:
    explicit CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd)
    {
        m_hDC = BeginPaint(m_hWnd, &m_ps);
    }
    ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
