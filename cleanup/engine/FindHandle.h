// A directory search that closes in one place, whichever way the walk ends.
#pragma once

#include <windows.h>

class CFindHandle
{
public:
    CFindHandle(const char* pszPattern, WIN32_FIND_DATAA* pEntry)
        : m_hFind(FindFirstFileA(pszPattern, pEntry)) {}
    ~CFindHandle()
    {
        if (m_hFind != INVALID_HANDLE_VALUE)
            FindClose(m_hFind);
    }
    bool IsOpen() const { return m_hFind != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA* pEntry) { return FindNextFileA(m_hFind, pEntry) != FALSE; }

private:
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    HANDLE m_hFind;
};
