#include "CleanupItem.h"

#include <strsafe.h>

#include "AnsiText.h"

// Copies a text that fits the 260-byte field whole; a longer one is refused
// rather than cut, as a cut path names another file.
static bool CopyWhole(char (&szField)[MAX_PATH], const char* pszText)
{
    size_t nLength;
    if (pszText == NULL || FAILED(StringCchLengthA(pszText, MAX_PATH, &nLength)))
        return false;
    StringCchCopyA(szField, MAX_PATH, pszText);
    return true;
}

CleanupItem::CleanupItem()
    : m_nKind(KIND_UNSET), m_nTriggers(0), m_nAction(ACTION_NONE)
{
    m_szName[0] = '\0';
    m_szPath[0] = '\0';
}

void CleanupItem::SetKind(DWORD nKind)
{
    m_nKind = nKind;
}

DWORD CleanupItem::GetKind() const
{
    return m_nKind;
}

bool CleanupItem::SetPath(const char* pszPath)
{
    return m_nKind != KIND_UNSET && CopyWhole(m_szPath, pszPath);
}

const char* CleanupItem::GetPath() const
{
    return m_nKind != KIND_UNSET ? m_szPath : NULL;
}

bool CleanupItem::SetName(const char* pszName)
{
    return m_nKind == KIND_PROFILE && CopyWhole(m_szName, pszName);
}

const char* CleanupItem::GetName() const
{
    return m_nKind == KIND_PROFILE ? m_szName : NULL;
}

bool CleanupItem::AddTriggers(const char* pszText)
{
    static const struct { const char* pszKeyword; DWORD nBit; } events[] = {
        { "SVC_STARTUP", SVC_STARTUP },
        { "USER_LOGOFF", USER_LOGOFF },
        { "USER_SHUTDOWN", USER_SHUTDOWN },
    };
    if (pszText == NULL)
        return false;
    bool bFound = false;
    for (const auto& event : events) {
        if (ContainsKeyword(pszText, event.pszKeyword)) {
            m_nTriggers |= event.nBit;
            bFound = true;
        }
    }
    return bFound;
}

DWORD CleanupItem::GetTriggers() const
{
    return m_nTriggers;
}

bool CleanupItem::SetAction(const char* pszText)
{
    // In this order: a directory item naming both directory actions deletes.
    static const struct { const char* pszKeyword; DWORD nKind; DWORD nAction; } actions[] = {
        { "DIR_DELETE", KIND_DIRECTORY, DIR_DELETE },
        { "DIR_EMPTY", KIND_DIRECTORY, DIR_EMPTY },
        { "FILE_DELETE", KIND_FILE, FILE_DELETE },
        { "APP_EXECUTE", KIND_APPLICATION, APP_EXECUTE },
    };
    if (pszText == NULL)
        return false;
    for (const auto& action : actions) {
        if (action.nKind == m_nKind && ContainsKeyword(pszText, action.pszKeyword)) {
            m_nAction = action.nAction;
            return true;
        }
    }
    return false;
}

DWORD CleanupItem::GetAction() const
{
    return m_nAction;
}
