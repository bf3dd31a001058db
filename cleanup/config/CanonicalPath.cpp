#include "CanonicalPath.h"

#include <string.h>
#include <strsafe.h>

static bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// "\\?\" and "\\.\" (either separator) only tell the platform how to pass
// the rest on; the rest is the path that counts.
static const char* SkipDevicePrefix(const char* pszPath)
{
    if (IsSeparator(pszPath[0]) && IsSeparator(pszPath[1]) && (pszPath[2] == '?' || pszPath[2] == '.')
        && IsSeparator(pszPath[3]))
        return pszPath + 4;
    return pszPath;
}

bool CanonicalDirectory(const char* pszPath, char (&szFull)[MAX_PATH])
{
    szFull[0] = '\0';
    size_t nLength;
    if (pszPath == NULL || FAILED(StringCchLengthA(pszPath, MAX_PATH, &nLength)))
        return false;
    const char* pszLocal = SkipDevicePrefix(pszPath);
    // Only a drive letter, a colon and a separator make a full local path.
    // Anything else (relative, rooted on the current drive, on the current
    // folder of a drive, a share, a device) would depend on where the service
    // happens to stand, or would leave the machine.
    char chDrive = (char)(pszLocal[0] | 0x20);
    if (chDrive < 'a' || chDrive > 'z' || pszLocal[1] != ':' || !IsSeparator(pszLocal[2]))
        return false;
    char* pFilePart;
    DWORD nFull = GetFullPathNameA(pszLocal, MAX_PATH, szFull, &pFilePart);
    if (nFull == 0 || nFull >= MAX_PATH) {
        szFull[0] = '\0';
        return false;
    }
    // The platform drops trailing dots and blanks of the last part when it
    // opens a path; not every version does so in GetFullPathNameA. Neither
    // character is ever the second byte of a double-byte character.
    nFull = (DWORD)strlen(szFull);
    while (nFull > 3 && (szFull[nFull - 1] == '.' || szFull[nFull - 1] == ' '))
        szFull[--nFull] = '\0';
    return true;
}

bool StartsWithTwoSeparators(const char* pszPath)
{
    return (pszPath[0] == '\\' || pszPath[0] == '/') && (pszPath[1] == '\\' || pszPath[1] == '/');
}
