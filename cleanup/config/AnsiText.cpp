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

// True when the characters at pA and pB are the same but for case; their
// lengths in bytes go to *pnA and *pnB.
static bool SameChar(const char* pA, const char* pB, int* pnA, int* pnB)
{
    char szA[2], szB[2];
    *pnA = UpperChar(pA, szA);
    *pnB = UpperChar(pB, szB);
    return *pnA == *pnB && memcmp(szA, szB, *pnA) == 0;
}

const char* SkipLeadingText(const char* pszText, const char* pszLeading)
{
    if (pszText == NULL || pszLeading == NULL)
        return NULL;
    while (*pszLeading != '\0') {
        int nText, nLeading;
        if (*pszText == '\0' || !SameChar(pszText, pszLeading, &nText, &nLeading))
            return NULL;
        pszText += nText;
        pszLeading += nLeading;
    }
    return pszText;
}

bool SameText(const char* pszA, const char* pszB)
{
    const char* pRest = SkipLeadingText(pszA, pszB);
    return pRest != NULL && *pRest == '\0';
}

const char* FindLastPathSeparator(const char* pszText)
{
    const char* pLast = NULL;
    for (const char* p = pszText; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            pLast = p;
    }
    return pLast;
}

// Once the name is used up, what is left of the pattern must be only dots
// and stars, as the platform's own search has it: "*.*" and "name.*" also
// match a name without a dot.
bool MatchesWildcard(const char* pszName, const char* pszPattern)
{
    const char* pStar = NULL;       // the pattern just after the last "*"
    const char* pStarName = NULL;   // where that "*" stopped matching
    while (*pszName != '\0') {
        int nName, nPattern;
        if (*pszPattern == '*') {
            pStar = ++pszPattern;
            pStarName = pszName;
        } else if (*pszPattern != '\0'
                   && (*pszPattern == '?' || SameChar(pszName, pszPattern, &nName, &nPattern))) {
            pszName = CharNextA(pszName);
            pszPattern = CharNextA(pszPattern);
        } else if (pStar != NULL) {
            // Let the last "*" take one character more and try again.
            pStarName = CharNextA(pStarName);
            pszName = pStarName;
            pszPattern = pStar;
        } else {
            return false;
        }
    }
    while (*pszPattern == '*' || *pszPattern == '.')
        ++pszPattern;
    return *pszPattern == '\0';
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

bool EndsInDotOrBlank(const char* pszName)
{
    // Neither character is ever the second byte of a double-byte character.
    size_t nLength = strlen(pszName);
    return nLength > 0 && (pszName[nLength - 1] == '.' || pszName[nLength - 1] == ' ');
}
