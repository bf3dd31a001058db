// Owns one handle from the service control manager and closes it in one place.
#pragma once

#include <windows.h>

class CServiceHandle
{
public:
    explicit CServiceHandle(SC_HANDLE handle = NULL) : m_hService(handle) {}
    ~CServiceHandle() { Close(); }

    void Attach(SC_HANDLE handle) { Close(); m_hService = handle; }
    void Close()
    {
        if (m_hService != NULL) {
            CloseServiceHandle(m_hService);
            m_hService = NULL;
        }
    }
    SC_HANDLE Get() const { return m_hService; }
    bool IsOpen() const { return m_hService != NULL; }

private:
    CServiceHandle(const CServiceHandle&);
    CServiceHandle& operator=(const CServiceHandle&);

    SC_HANDLE m_hService;
};
