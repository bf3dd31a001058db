// One section of an INI file in memory as key/value entries, read and written
// through the platform's profile-string calls.
#pragma once

#include <windows.h>

struct IniEntry
{
    char m_szKey[MAX_PATH];     // the line's text before its first "="
    char m_szValue[MAX_PATH];   // the key's value, inline comment removed
    DWORD m_bDeleted;           // 1: left out at the next WriteSection
};

class CIniSection
{
public:
    CIniSection();
    ~CIniSection();

    // Reads the whole section. True when it holds at least one entry.
    bool Open(const char* pszFile, const char* pszSection);

    // True when the last Open failed on a file that is there but could not
    // be read (held open without sharing, access denied, out of memory),
    // as against a missing file or a missing or empty section.
    bool IsUnreadable() const;
    DWORD GetCount() const;     // entries that the last Open loaded
    const char* GetKey() const;     // NULL while there are no entries
    const char* GetValue() const;   // NULL while there are no entries
    bool MoveFirst();
    bool MoveNext();
    bool FindKey(const char* pszKey);
    bool FindValue(const char* pszValue);
    // Replaces the current key in memory; nBufferSize bounds the caller's text.
    bool SetKey(const char* pszKey, DWORD nBufferSize);

    // Each write ends by reading the section again and returns that result.
    bool DeleteEntry();
    bool WriteSection();
    bool AddEntry(const char* pszKey, const char* pszValue);

private:
    CIniSection(const CIniSection&) = delete;
    CIniSection& operator=(const CIniSection&) = delete;

    void Release();
    bool LoadEntries(const char* pBuffer, DWORD nRead);
    bool Reopen();

    DWORD m_nCount;
    DWORD m_nCurrent;
    IniEntry* m_pEntries;
    char m_szSection[MAX_PATH];
    char m_szFile[MAX_PATH];
    bool m_bUnreadable;
};
