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

namespace {

// The parts of a pattern as the platform's search reads them.
enum UnitKind : char {
    UNIT_CHARACTER,     // itself, case ignored
    UNIT_ANY_RUN,       // "*": any run of characters, the empty one too
    UNIT_RUN_TO_DOT,    // "*" before a dot or at a dotted end: as "*", but never past the name's last dot
    UNIT_ONE_OR_NONE,   // "?": one character other than a dot; nothing before a dot or at the end
    UNIT_DOT_OR_END     // a dot before "*" or "?": a dot, or nothing at the end
};

struct PatternUnit
{
    UnitKind kind;
    char upper[2];      // the character upper-cased, for UNIT_CHARACTER
    int nLength;        // its length in bytes
};

// The units of the pattern; -1 for one that does not fit. Trailing dots and
// blanks are dropped, as from the last part of any path; a dot there makes a
// final "*" stop at the name's last dot, which is how "*." means "names
// without an extension". "*.*" is every name.
int ReadPattern(const char* pszPattern, PatternUnit (&units)[MAX_PATH])
{
    size_t nLength;
    if (FAILED(StringCchLengthA(pszPattern, MAX_PATH, &nLength)))
        return -1;
    bool bEndsInDot = nLength > 0 && pszPattern[nLength - 1] == '.';
    while (nLength > 0 && (pszPattern[nLength - 1] == '.' || pszPattern[nLength - 1] == ' '))
        --nLength;
    const char* pEnd = pszPattern + nLength;
    if (nLength == 3 && strncmp(pszPattern, "*.*", 3) == 0)
        pEnd = pszPattern + 1;
    int nUnits = 0;
    for (const char* p = pszPattern; p < pEnd; p = CharNextA(p), ++nUnits) {
        const char* pNext = CharNextA(p);
        char chNext = pNext < pEnd ? *pNext : '\0';
        PatternUnit& unit = units[nUnits];
        if (*p == '*')
            unit.kind = chNext == '.' ? UNIT_RUN_TO_DOT : UNIT_ANY_RUN;
        else if (*p == '?')
            unit.kind = UNIT_ONE_OR_NONE;
        else if (*p == '.' && (chNext == '*' || chNext == '?'))
            unit.kind = UNIT_DOT_OR_END;
        else
            unit.kind = UNIT_CHARACTER;
        unit.nLength = UpperChar(p, unit.upper);
    }
    if (bEndsInDot && nUnits > 0 && units[nUnits - 1].kind == UNIT_ANY_RUN)
        units[nUnits - 1].kind = UNIT_RUN_TO_DOT;
    return nUnits;
}

} // namespace

// Every place of the pattern that the name read so far can have reached is
// followed at once, so that no run of stars makes the match slow.
bool MatchesWildcard(const char* pszName, const char* pszPattern)
{
    PatternUnit units[MAX_PATH];
    int nUnits = ReadPattern(pszPattern, units);
    if (nUnits < 0)
        return false;
    const char* pLastDot = FindLastChar(pszName, '.');
    bool reached[MAX_PATH + 1] = { true };
    for (const char* p = pszName;; p = CharNextA(p)) {
        // The units that can match nothing here pass the match on.
        bool bEnd = *p == '\0';
        for (int i = 0; i < nUnits; ++i) {
            UnitKind kind = units[i].kind;
            if (reached[i] && (kind == UNIT_ANY_RUN || kind == UNIT_RUN_TO_DOT
                               || (kind == UNIT_ONE_OR_NONE && (bEnd || *p == '.'))
                               || (kind == UNIT_DOT_OR_END && bEnd)))
                reached[i + 1] = true;
        }
        if (bEnd)
            return reached[nUnits];
        char upper[2];
        int nLength = UpperChar(p, upper);
        bool next[MAX_PATH + 1] = {};
        bool bAny = false;
        for (int i = 0; i < nUnits; ++i) {
            if (!reached[i])
                continue;
            const PatternUnit& unit = units[i];
            bool bStays = unit.kind == UNIT_ANY_RUN || (unit.kind == UNIT_RUN_TO_DOT && p != pLastDot);
            bool bTakes = (unit.kind == UNIT_ONE_OR_NONE && *p != '.') || (unit.kind == UNIT_DOT_OR_END && *p == '.')
                          || (unit.kind == UNIT_CHARACTER && unit.nLength == nLength && memcmp(unit.upper, upper, nLength) == 0);
            next[i] = next[i] || bStays;
            next[i + 1] = next[i + 1] || bTakes;
            bAny = bAny || bStays || bTakes;
        }
        if (!bAny)
            return false;
        memcpy(reached, next, sizeof reached);
    }
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
