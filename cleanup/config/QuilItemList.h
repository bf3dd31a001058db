// A list of cleanup items loaded from one list section of the configuration.
#pragma once

#include <windows.h>

#include "CleanupItem.h"

// Selects the list section that ReadItems loads.
enum ItemListType
{
    LIST_DIRECTORIES = 0,
    LIST_FILES = 1,
    LIST_PROFILES = 2,
    LIST_APPLICATIONS = 3
};

class CQuilItemList
{
public:
    CQuilItemList();
    // nCount fresh items; none when they cannot be allocated.
    explicit CQuilItemList(DWORD nCount);
    ~CQuilItemList();

    // Replaces the items with those of the selected section; true when at
    // least one was loaded.
    bool ReadItems(int eType, const char* pszIniFile);
    DWORD GetCount() const;
    bool MoveFirst();
    bool MoveNext();
    CleanupItem* GetItem();     // NULL while there are no items
    // The first profile item whose name equals the text becomes current.
    bool FindName(const char* pszName);

private:
    CQuilItemList(const CQuilItemList&) = delete;
    CQuilItemList& operator=(const CQuilItemList&) = delete;

    void Release();
    bool Allocate(DWORD nCount);

    DWORD m_nCurrent;
    DWORD m_nCount;
    CleanupItem* m_pList;
};
