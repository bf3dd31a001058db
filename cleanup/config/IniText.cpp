#include "IniText.h"

#include <strsafe.h>

bool ReadIniString(const char* pszSection, const char* pszKey, char (&szValue)[MAX_PATH],
                   const char* pszFile)
{
    // Read into twice the field, so that a value longer than 259 characters
    // shows as one and is refused whole: the platform would cut it silently,
    // and a cut path, pattern or command line names another folder, more
    // files or other arguments (C:\Kiosk\Cache\...\Old cut after its last
    // backslash is the folder above it).
    char szRead[2 * MAX_PATH];
    GetPrivateProfileStringA(pszSection, pszKey, "", szRead, sizeof szRead, pszFile);
    // A value cut inside a double-byte character must still end in the buffer.
    szRead[sizeof szRead - 1] = '\0';
    if (SUCCEEDED(StringCchCopyA(szValue, MAX_PATH, szRead)))
        return true;
    szValue[0] = '\0';
    return false;
}
