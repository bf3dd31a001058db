// A directory search that closes in one place, whichever way the walk ends.
#pragma once

#include <windows.h>

#include "PathEntry.h"

class CFindHandle
{
public:
    CFindHandle(const char* pszPattern, WIN32_FIND_DATAA* pEntry)
        : m_hFind(FindFirstFileA(pszPattern, pEntry)), m_nError(m_hFind == INVALID_HANDLE_VALUE ? GetLastError() : 0) {}
    ~CFindHandle()
    {
        if (m_hFind != INVALID_HANDLE_VALUE)
            FindClose(m_hFind);
    }
    bool IsOpen() const { return m_hFind != INVALID_HANDLE_VALUE; }
    // A search that did not open because nothing is there, rather than
    // because the folder could not be read.
    bool FoundNothing() const { return !IsOpen() && IsNotFound(m_nError); }
    bool Next(WIN32_FIND_DATAA* pEntry) { return FindNextFileA(m_hFind, pEntry) != FALSE; }

private:
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    HANDLE m_hFind;
    DWORD m_nError;
};
