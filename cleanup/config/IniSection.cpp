#include "IniSection.h"

#include <string.h>
#include <strsafe.h>

#include "AnsiText.h"
#include "IniText.h"
#include "ProcessHeap.h"
#include "service/LogMessage.h"
#include "writefilter/ScopedHandle.h"

static const char OPEN_SOURCE[] = "CIniSection::Open";

// A name that is missing, empty or longer than the 259 characters of its
// field. Cutting a file name would point every later write at another file.
static bool IsUsableName(const char* pszName)
{
    size_t nLength;
    return pszName != NULL && SUCCEEDED(StringCchLengthA(pszName, MAX_PATH, &nLength)) && nLength > 0;
}

// Size of the file, or false when there is no such file. A directory of that
// name is no file: its size would give no room to read into. A search that
// fails for another reason than a missing file or folder sets *pbUnreadable.
static bool ProbeFile(const char* pszFile, DWORD* pnSize, bool* pbUnreadable)
{
    WIN32_FIND_DATAA found;
    *pnSize = 0;
    HANDLE hFind = FindFirstFileA(pszFile, &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        DWORD nError = GetLastError();
        *pbUnreadable = nError != ERROR_FILE_NOT_FOUND && nError != ERROR_PATH_NOT_FOUND;
        return false;
    }
    FindClose(hFind);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    *pnSize = found.nFileSizeLow;
    return true;
}

// Length of the key of a section line: the text before its first "=". 0 for a
// line that gives no entry: one without "=", one with nothing before it, and
// one whose key does not fit the key field, as none of them can be looked up
// again by its key.
static size_t KeyLength(const char* pszLine)
{
    const char* pEquals = FindChar(pszLine, '=');
    if (pEquals == NULL)
        return 0;
    size_t nLength = pEquals - pszLine;
    return nLength < MAX_PATH ? nLength : 0;
}

// Cuts an inline comment: the first ";" and the characters before it back to
// the last letter or digit. The first character always stays, so a value
// that starts with ";" is kept whole.
static void StripInlineComment(char* pszValue)
{
    char* pEnd = (char*)FindChar(pszValue, ';');
    if (pEnd == NULL || pEnd == pszValue)
        return;
    for (;;) {
        char* pPrevious = CharPrevA(pszValue, pEnd);
        if (pPrevious == pszValue || IsLetterOrDigit(pPrevious))
            break;
        pEnd = pPrevious;
    }
    *pEnd = '\0';
}

CIniSection::CIniSection()
    : m_nCount(0), m_nCurrent(0), m_pEntries(NULL), m_bUnreadable(false)
{
    m_szSection[0] = '\0';
    m_szFile[0] = '\0';
}

CIniSection::~CIniSection()
{
    Release();
}

void CIniSection::Release()
{
    FreeBlock(m_pEntries);
    m_pEntries = NULL;
    m_nCount = 0;
    m_nCurrent = 0;
}

bool CIniSection::Open(const char* pszFile, const char* pszSection)
{
    m_bUnreadable = false;
    if (!IsUsableName(pszFile) || !IsUsableName(pszSection))
        return false;
    Release();
    StringCchCopyA(m_szFile, MAX_PATH, pszFile);
    StringCchCopyA(m_szSection, MAX_PATH, pszSection);

    // The buffer is as large as the file, so one call returns the whole
    // section; two more bytes leave room for the list's end even when the
    // file is empty.
    DWORD nFileSize;
    char* pBuffer = NULL;
    DWORD nBufferSize = 0;
    bool bOk = ProbeFile(m_szFile, &nFileSize, &m_bUnreadable);
    // Held open, shared, while the section is read: the platform's read
    // answers a file it cannot open as if the section were missing, and a
    // reader must not take "could not read" for "nothing there".
    ScopedHandle reading(bOk ? CreateFileA(m_szFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                           OPEN_EXISTING, 0, NULL)
                             : INVALID_HANDLE_VALUE);
    if (bOk) {
        nBufferSize = nFileSize + 2;
        pBuffer = nFileSize <= MAXDWORD - 2 ? (char*)AllocZeroed(nBufferSize, 1) : NULL;
        bOk = reading.IsValid() && pBuffer != NULL;
        m_bUnreadable = !bOk;
    }
    LogMessage(OPEN_SOURCE, "Filename: %s; filesize: %d", m_szFile, (int)nFileSize);

    if (bOk) {
        DWORD nRead = GetPrivateProfileSectionA(m_szSection, pBuffer, nBufferSize, m_szFile);
        if (nRead > nBufferSize - 2)
            nRead = nBufferSize - 2;
        LogMessage(OPEN_SOURCE, "Filename: %s; section: %s; buffread: %s; readSize: %d",
                   m_szFile, m_szSection, pBuffer, (int)nRead);
        bOk = LoadEntries(pBuffer, nRead);
    }
    FreeBlock(pBuffer);
    return bOk;
}

// One entry per line of the section list (lines end in NUL) that has a key.
bool CIniSection::LoadEntries(const char* pBuffer, DWORD nRead)
{
    const char* pEnd = pBuffer + nRead;
    DWORD nEntries = 0;
    for (const char* p = pBuffer; p < pEnd; p += strlen(p) + 1) {
        if (KeyLength(p) > 0)
            ++nEntries;
    }
    if (nEntries == 0)
        return false;
    m_pEntries = (IniEntry*)AllocZeroed(nEntries, sizeof(IniEntry));
    if (m_pEntries == NULL) {
        m_bUnreadable = true;
        return false;
    }
    m_nCount = nEntries;

    IniEntry* pEntry = m_pEntries;
    for (const char* p = pBuffer; p < pEnd; p += strlen(p) + 1) {
        size_t nKey = KeyLength(p);
        if (nKey == 0)
            continue;
        memcpy(pEntry->m_szKey, p, nKey);
        pEntry->m_szKey[nKey] = '\0';
        // Looked up again by key: the platform trims the value, removes its
        // quotes and cuts it to the field.
        ReadIniString(m_szSection, pEntry->m_szKey, pEntry->m_szValue, m_szFile);
        StripInlineComment(pEntry->m_szValue);
        ++pEntry;
    }
    m_nCurrent = 0;
    return true;
}

bool CIniSection::IsUnreadable() const
{
    return m_bUnreadable;
}

DWORD CIniSection::GetCount() const
{
    return m_nCount;
}

const char* CIniSection::GetKey() const
{
    return m_pEntries != NULL ? m_pEntries[m_nCurrent].m_szKey : NULL;
}

const char* CIniSection::GetValue() const
{
    return m_pEntries != NULL ? m_pEntries[m_nCurrent].m_szValue : NULL;
}

bool CIniSection::MoveFirst()
{
    if (m_pEntries == NULL)
        return false;
    m_nCurrent = 0;
    return true;
}

bool CIniSection::MoveNext()
{
    if (m_pEntries == NULL || m_nCurrent + 1 >= m_nCount)
        return false;
    ++m_nCurrent;
    return true;
}

bool CIniSection::FindKey(const char* pszKey)
{
    for (DWORD i = 0; m_pEntries != NULL && i < m_nCount; ++i) {
        if (SameText(m_pEntries[i].m_szKey, pszKey)) {
            m_nCurrent = i;
            return true;
        }
    }
    return false;
}

bool CIniSection::FindValue(const char* pszValue)
{
    for (DWORD i = 0; m_pEntries != NULL && i < m_nCount; ++i) {
        if (SameText(m_pEntries[i].m_szValue, pszValue)) {
            m_nCurrent = i;
            return true;
        }
    }
    return false;
}

bool CIniSection::SetKey(const char* pszKey, DWORD nBufferSize)
{
    // An empty key or one that does not fit would be written back as a line
    // that the next Open cannot load; the entry keeps its key instead.
    size_t nLength;
    if (nBufferSize > MAX_PATH || m_pEntries == NULL || pszKey == NULL
        || FAILED(StringCchLengthA(pszKey, nBufferSize, &nLength)) || nLength == 0)
        return false;
    StringCchCopyA(m_pEntries[m_nCurrent].m_szKey, MAX_PATH, pszKey);
    return true;
}

bool CIniSection::DeleteEntry()
{
    if (m_pEntries != NULL)
        m_pEntries[m_nCurrent].m_bDeleted = 1;
    return WriteSection();
}

bool CIniSection::WriteSection()
{
    if (m_pEntries == NULL)
        return false;
    size_t nLength = 1;
    for (DWORD i = 0; i < m_nCount; ++i) {
        if (!m_pEntries[i].m_bDeleted)
            nLength += strlen(m_pEntries[i].m_szKey) + strlen(m_pEntries[i].m_szValue) + 2;
    }
    char* pBuffer = (char*)AllocZeroed(nLength, 1);
    if (pBuffer != NULL) {
        char* pLine = pBuffer;
        size_t nRemaining = nLength;
        for (DWORD i = 0; i < m_nCount; ++i) {
            if (m_pEntries[i].m_bDeleted)
                continue;
            char* pLineEnd;
            StringCchPrintfExA(pLine, nRemaining, &pLineEnd, &nRemaining, 0, "%s=%s",
                               m_pEntries[i].m_szKey, m_pEntries[i].m_szValue);
            pLine = pLineEnd + 1;   // past the line's NUL
            --nRemaining;
        }
        WritePrivateProfileSectionA(m_szSection, pBuffer, m_szFile);
        FreeBlock(pBuffer);
    }
    return Reopen();
}

bool CIniSection::AddEntry(const char* pszKey, const char* pszValue)
{
    // A NULL key or value would make the platform delete the section or the
    // key; an empty or too long key could not be loaded again.
    if (m_pEntries == NULL || pszValue == NULL || !IsUsableName(pszKey))
        return false;
    for (DWORD i = 0; i < m_nCount; ++i)
        WritePrivateProfileStringA(m_szSection, m_pEntries[i].m_szKey, m_pEntries[i].m_szValue, m_szFile);
    WritePrivateProfileStringA(m_szSection, pszKey, pszValue, m_szFile);
    return Reopen();
}

// Open on the stored names, from copies, as Open overwrites the stored ones.
bool CIniSection::Reopen()
{
    char szFile[MAX_PATH];
    char szSection[MAX_PATH];
    StringCchCopyA(szFile, MAX_PATH, m_szFile);
    StringCchCopyA(szSection, MAX_PATH, m_szSection);
    return Open(szFile, szSection);
}
