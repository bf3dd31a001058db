#include "IniText.h"

void ReadIniString(const char* pszSection, const char* pszKey, char (&szValue)[MAX_PATH],
                   const char* pszFile)
{
    GetPrivateProfileStringA(pszSection, pszKey, "", szValue, MAX_PATH, pszFile);
    // A value cut inside a double-byte character must still end in the field.
    szValue[MAX_PATH - 1] = '\0';
}
