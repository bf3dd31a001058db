// Owns an open registry key and closes it when the scope ends. Shared by
// the panel and the persistence tool, which both keep values in the registry.
#pragma once

#include <windows.h>

class ScopedRegKey
{
public:
    ScopedRegKey() : m_key(NULL) {}
    ~ScopedRegKey()
    {
        if (m_key != NULL)
            RegCloseKey(m_key);
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    // RegOpenKeyExW's result; the key is held only when it is ERROR_SUCCESS.
    LONG Open(HKEY parent, const wchar_t* path, REGSAM access)
    {
        HKEY key;
        LONG result = RegOpenKeyExW(parent, path, 0, access, &key);
        if (result == ERROR_SUCCESS)
            m_key = key;
        return result;
    }
    // For a call that creates the key to fill; only while no key is held.
    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};
