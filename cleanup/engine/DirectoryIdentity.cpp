#include "DirectoryIdentity.h"

#include "writefilter/ScopedHandle.h"

bool GetIdentity(const char* pszPath, DirectoryIdentity* pIdentity)
{
    ScopedHandle directory(CreateFileA(pszPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL));
    BY_HANDLE_FILE_INFORMATION info;
    if (!directory.IsValid() || !GetFileInformationByHandle(directory.Get(), &info))
        return false;
    pIdentity->nVolume = info.dwVolumeSerialNumber;
    pIdentity->nIndexHigh = info.nFileIndexHigh;
    pIdentity->nIndexLow = info.nFileIndexLow;
    return true;
}

bool SameIdentity(const DirectoryIdentity& a, const DirectoryIdentity& b)
{
    return a.nVolume == b.nVolume && a.nIndexHigh == b.nIndexHigh && a.nIndexLow == b.nIndexLow;
}
