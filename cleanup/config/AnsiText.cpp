#include "AnsiText.h"

#include <string.h>
#include <strsafe.h>

const char* FindChar(const char* pszText, char ch)
{
    for (const char* p = pszText; *p != '\0'; p = CharNextA(p)) {
        if (*p == ch)
            return p;
    }
    return NULL;
}

const char* FindLastChar(const char* pszText, char ch)
{
    const char* pLast = NULL;
    for (const char* p = pszText; *p != '\0'; p = CharNextA(p)) {
        if (*p == ch)
            pLast = p;
    }
    return pLast;
}

const char* FindText(const char* pszText, const char* pszWanted)
{
    size_t nWanted = strlen(pszWanted);
    for (const char* p = pszText; *p != '\0'; p = CharNextA(p)) {
        if (strncmp(p, pszWanted, nWanted) == 0)
            return p;
    }
    return nWanted == 0 ? pszText : NULL;
}

bool ContainsKeyword(const char* pszText, const char* pszKeyword)
{
    char szUpper[MAX_PATH];
    StringCchCopyA(szUpper, MAX_PATH, pszText);
    CharUpperBuffA(szUpper, (DWORD)strlen(szUpper));
    return FindText(szUpper, pszKeyword) != NULL;
}

// Copies the character at p upper-cased into szUpper; returns its length in
// bytes (1, or 2 for a double-byte character).
static int UpperChar(const char* p, char szUpper[2])
{
    int nLength = (int)(CharNextA(p) - p);
    memcpy(szUpper, p, nLength);
    CharUpperBuffA(szUpper, nLength);
    return nLength;
}

bool SameText(const char* pszA, const char* pszB)
{
    if (pszA == NULL || pszB == NULL)
        return false;
    while (*pszA != '\0' && *pszB != '\0') {
        char szA[2], szB[2];
        int nA = UpperChar(pszA, szA);
        int nB = UpperChar(pszB, szB);
        if (nA != nB || memcmp(szA, szB, nA) != 0)
            return false;
        pszA += nA;
        pszB += nB;
    }
    return *pszA == *pszB;
}

bool IsLetterOrDigit(const char* pChar)
{
    WCHAR wide[2];
    int nLength = (int)(CharNextA(pChar) - pChar);
    if (nLength == 0 || MultiByteToWideChar(CP_ACP, 0, pChar, nLength, wide, 2) < 1)
        return false;
    return IsCharAlphaNumericW(wide[0]) != FALSE;
}

bool EndsWithBackslash(const char* pszText)
{
    size_t nLength = strlen(pszText);
    if (nLength == 0)
        return false;
    return *CharPrevA(pszText, pszText + nLength) == '\\';
}
