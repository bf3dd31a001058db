// The application object: one global instance, whose InitInstance is the
// whole of a run. There is no message loop of the application's own: each
// run of the panel ends when InitInstance returns.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp
{
public:
    explicit CWinApp(LPCWSTR appName = NULL);
    virtual ~CWinApp() {}

    virtual BOOL InitInstance() { return FALSE; }

    // Windows NT 4.0 draws dialogs and their controls in 3D itself; there
    // is no 3D control library to load.
    BOOL Enable3dControls() { return TRUE; }

    LPCWSTR m_pszAppName;
    HINSTANCE m_hInstance;
    // The window that owns dialogs started without a parent while it runs.
    CWnd* m_pMainWnd;
};

CWinApp* AfxGetApp();
