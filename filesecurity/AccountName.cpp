#include "OtherWriter.h"

#include <strsafe.h>

void AccountName(PSID pSid, char* pszName, DWORD nSize)
{
    char szName[MAX_PATH];
    char szDomain[MAX_PATH];
    DWORD nName = MAX_PATH;
    DWORD nDomain = MAX_PATH;
    SID_NAME_USE use;
    if (LookupAccountSidA(NULL, pSid, szName, &nName, szDomain, &nDomain, &use)) {
        StringCchPrintfA(pszName, nSize, "%s%s%s", szDomain, szDomain[0] != '\0' ? "\\" : "", szName);
        return;
    }
    // An account of a domain that cannot be reached, or one since deleted.
    // Authorities above 2^32 are not given out.
    const BYTE* pAuthority = GetSidIdentifierAuthority(pSid)->Value;
    StringCchPrintfA(pszName, nSize, "S-1-%lu",
                     (DWORD)pAuthority[2] << 24 | (DWORD)pAuthority[3] << 16 | (DWORD)pAuthority[4] << 8 |
                         pAuthority[5]);
    BYTE nCount = *GetSidSubAuthorityCount(pSid);
    for (BYTE nPart = 0; nPart < nCount; ++nPart) {
        char szPart[12];
        StringCchPrintfA(szPart, sizeof szPart, "-%lu", *GetSidSubAuthority(pSid, nPart));
        StringCchCatA(pszName, nSize, szPart);
    }
}
