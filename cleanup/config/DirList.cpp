#include "DirList.h"

#include <string.h>

#include "AnsiText.h"
#include "ProcessHeap.h"

CDirList::CDirList()
    : m_nCount(0), m_pFirst(NULL), m_pCursor(NULL), m_pLast(NULL)
{
}

CDirList::~CDirList()
{
    RemoveAll();
}

void CDirList::Add(const char* pszPath)
{
    if (pszPath == NULL || *pszPath == '\0')
        return;
    size_t nLength = strlen(pszPath);
    DirNode* pNode = (DirNode*)AllocZeroed(sizeof(DirNode) + nLength + 1, 1);
    if (pNode == NULL)
        return;
    pNode->m_pszPath = (char*)(pNode + 1);
    memcpy(pNode->m_pszPath, pszPath, nLength + 1);
    pNode->m_pPrevious = m_pLast;
    if (m_pLast != NULL) {
        m_pLast->m_pNext = pNode;
    } else {
        m_pFirst = pNode;
        m_pCursor = pNode;
    }
    m_pLast = pNode;
    ++m_nCount;
}

int CDirList::GetCount() const
{
    return m_nCount;
}

const char* CDirList::GetFirst()
{
    m_pCursor = m_pFirst;
    return m_pCursor != NULL ? m_pCursor->m_pszPath : NULL;
}

const char* CDirList::GetNext()
{
    if (m_pCursor == NULL || m_pCursor->m_pNext == NULL)
        return NULL;
    m_pCursor = m_pCursor->m_pNext;
    return m_pCursor->m_pszPath;
}

bool CDirList::Contains(const char* pszPath)
{
    for (DirNode* pNode = m_pFirst; pNode != NULL; pNode = pNode->m_pNext) {
        if (SameText(pNode->m_pszPath, pszPath)) {
            m_pCursor = pNode;
            return true;
        }
    }
    m_pCursor = m_pFirst;
    return false;
}

void CDirList::RemoveAll()
{
    DirNode* pNode = m_pFirst;
    while (pNode != NULL) {
        DirNode* pNext = pNode->m_pNext;
        FreeBlock(pNode);
        pNode = pNext;
    }
    m_nCount = 0;
    m_pFirst = NULL;
    m_pCursor = NULL;
    m_pLast = NULL;
}
