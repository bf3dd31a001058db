// The protected directories: owned copies of paths in the order they were
// added, matched whole and without regard to case.
#pragma once

#include <windows.h>

struct DirNode
{
    DirNode* m_pNext;       // added later
    DirNode* m_pPrevious;   // added earlier
    char* m_pszPath;        // held in the node's own block
};

class CDirList
{
public:
    CDirList();
    ~CDirList();

    // An empty text, or one that finds no memory, is not added.
    void Add(const char* pszPath);
    int GetCount() const;
    const char* GetFirst();
    const char* GetNext();
    // On a match the cursor stays on that node; otherwise it is on the first.
    bool Contains(const char* pszPath);
    void RemoveAll();

private:
    CDirList(const CDirList&) = delete;
    CDirList& operator=(const CDirList&) = delete;

    int m_nCount;
    DirNode* m_pFirst;
    DirNode* m_pCursor;
    DirNode* m_pLast;
};
