#include "OtherWriter.h"

bool VolumeKeepsPermissions(const char* pszPath)
{
    // Only a drive's volume is asked about: a service's files on a network
    // share are out of LocalSystem's reach anyway.
    if (pszPath[0] == '\0' || pszPath[1] != ':')
        return true;
    char szRoot[] = { pszPath[0], ':', '\\', '\0' };
    DWORD nSerial, nMaxComponent, nFlags;
    if (!GetVolumeInformationA(szRoot, NULL, 0, &nSerial, &nMaxComponent, &nFlags, NULL, 0))
        return true;
    return (nFlags & FS_PERSISTENT_ACLS) != 0;
}
