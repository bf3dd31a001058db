// Owns an open registry key and closes it when the scope ends.
#pragma once

#include <windows.h>

class RegistryKey
{
public:
    RegistryKey() : m_hKey(NULL) {}
    ~RegistryKey()
    {
        if (m_hKey != NULL)
            RegCloseKey(m_hKey);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // For the open and create calls to fill; only once per object.
    HKEY* Receive() { return &m_hKey; }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey;
};
