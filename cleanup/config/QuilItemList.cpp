#include "QuilItemList.h"

#include <new>
#include <strsafe.h>

#include "AnsiText.h"
#include "IniSection.h"
#include "IniText.h"
#include "ProcessHeap.h"
#include "service/LogMessage.h"

static const char READ_SOURCE[] = "CQuilItemList::ReadItems";

struct ListSection
{
    const char* pszSection;
    DWORD nKind;
    const char* pszCountFormat;   // NULL: the count is not logged
};

// Indexed by ItemListType.
static const ListSection listSections[] = {
    { "Directories", KIND_DIRECTORY, NULL },
    { "Files", KIND_FILE, "Files expected: %d" },
    { "Profiles", KIND_PROFILE, "Profiles expected: %d" },
    { "Applications", KIND_APPLICATION, "Apps expected: %d" },
};

CQuilItemList::CQuilItemList()
    : m_nCurrent(0), m_nCount(0), m_pList(NULL)
{
}

CQuilItemList::CQuilItemList(DWORD nCount)
    : m_nCurrent(0), m_nCount(0), m_pList(NULL)
{
    Allocate(nCount);
}

CQuilItemList::~CQuilItemList()
{
    Release();
}

void CQuilItemList::Release()
{
    FreeBlock(m_pList);
    m_pList = NULL;
    m_nCount = 0;
    m_nCurrent = 0;
}

bool CQuilItemList::Allocate(DWORD nCount)
{
    if (nCount == 0)
        return false;
    CleanupItem* pItems = (CleanupItem*)AllocZeroed(nCount, sizeof(CleanupItem));
    if (pItems == NULL)
        return false;
    for (DWORD i = 0; i < nCount; ++i)
        new (&pItems[i]) CleanupItem;
    m_pList = pItems;
    m_nCount = nCount;
    m_nCurrent = 0;
    return true;
}

// The profile names: every line but those whose key holds "ActionTrigger",
// up to the expected count. No line is taken twice and no trigger line is
// taken as a name, however many trigger lines the section has; the list then
// holds the names actually found.
static DWORD ReadProfiles(CIniSection& reader, CleanupItem* pItems, DWORD nExpected,
                          const char* pszIniFile)
{
    char szTrigger[MAX_PATH];
    ReadIniString("Profiles", "ActionTrigger", szTrigger, pszIniFile);
    LogMessage("ReadProfiles", "Profile Action Trigger: %s", szTrigger);

    DWORD nFilled = 0;
    bool bAtEntry = true;
    while (nFilled < nExpected && bAtEntry) {
        if (!ContainsKeyword(reader.GetKey(), "ACTIONTRIGGER")) {
            CleanupItem& item = pItems[nFilled++];
            item.SetKind(KIND_PROFILE);
            item.AddTriggers(szTrigger);
            item.SetName(reader.GetValue());
        }
        bAtEntry = reader.MoveNext();
    }
    return nFilled;
}

// Each line's value names the item's own section, which holds its three keys.
static void ReadActionItems(CIniSection& reader, CleanupItem* pItems, DWORD nCount, DWORD nKind,
                            const char* pszIniFile)
{
    for (DWORD i = 0; i < nCount; ++i) {
        const char* pszItemSection = reader.GetValue();
        char szValue[MAX_PATH];
        pItems[i].SetKind(nKind);
        ReadIniString(pszItemSection, "Path", szValue, pszIniFile);
        pItems[i].SetPath(szValue);
        ReadIniString(pszItemSection, "Action", szValue, pszIniFile);
        pItems[i].SetAction(szValue);
        ReadIniString(pszItemSection, "ActionTrigger", szValue, pszIniFile);
        pItems[i].AddTriggers(szValue);
        reader.MoveNext();
    }
}

bool CQuilItemList::ReadItems(int eType, const char* pszIniFile)
{
    Release();
    if (eType < LIST_DIRECTORIES || eType > LIST_APPLICATIONS)
        return false;
    const ListSection& list = listSections[eType];

    CIniSection reader;
    reader.Open(pszIniFile, list.pszSection);
    // [Profiles] has one line that is no name: its "ActionTrigger".
    int nExpected = (int)reader.GetCount() - (eType == LIST_PROFILES ? 1 : 0);
    if (list.pszCountFormat != NULL)
        LogMessage(READ_SOURCE, list.pszCountFormat, nExpected);
    if (nExpected == 0)
        return false;
    if (nExpected < 0 || !Allocate((DWORD)nExpected)) {
        LogMessage(READ_SOURCE, "m_pList not allocated for %d items", nExpected);
        return false;
    }
    reader.MoveFirst();
    LogMessage(READ_SOURCE, "Read First Item");

    if (eType == LIST_PROFILES) {
        m_nCount = ReadProfiles(reader, m_pList, m_nCount, pszIniFile);
        if (m_nCount == 0)
            Release();
        return m_nCount > 0;
    }
    char szTrace[32];
    StringCchPrintfA(szTrace, sizeof szTrace, "eType - %X\n", eType);
    OutputDebugStringA(szTrace);
    ReadActionItems(reader, m_pList, m_nCount, list.nKind, pszIniFile);
    return true;
}

DWORD CQuilItemList::GetCount() const
{
    return m_nCount;
}

bool CQuilItemList::MoveFirst()
{
    if (m_pList == NULL)
        return false;
    m_nCurrent = 0;
    return true;
}

bool CQuilItemList::MoveNext()
{
    if (m_pList == NULL || m_nCurrent + 1 >= m_nCount)
        return false;
    ++m_nCurrent;
    return true;
}

CleanupItem* CQuilItemList::GetItem()
{
    return m_pList != NULL ? &m_pList[m_nCurrent] : NULL;
}

bool CQuilItemList::FindName(const char* pszName)
{
    for (DWORD i = 0; m_pList != NULL && i < m_nCount; ++i) {
        // A non-profile item has no name (NULL), which equals nothing.
        if (SameText(m_pList[i].GetName(), pszName)) {
            m_nCurrent = i;
            return true;
        }
    }
    return false;
}
