#include "CWinApp.h"

namespace {

CWinApp* theApplication = NULL;

} // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName), m_hInstance(NULL), m_pMainWnd(NULL)
{
    theApplication = this;
}

CWinApp* AfxGetApp()
{
    return theApplication;
}

// The program's entry: everything a run does happens in InitInstance.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == NULL)
        return 1;
    app->m_hInstance = instance;
    app->InitInstance();
    return 0;
}
