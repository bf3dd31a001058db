#include "FileProtection.h"
#include "LogMessage.h"
#include "ServiceRuntime.h"

#include "config/AnsiText.h"
#include "filesecurity/OtherWriter.h"

namespace {

struct AllowedEntry
{
    WellKnownAccount nAccount;
    DWORD nRights;
};

const AllowedEntry allowedEntries[] = {
    { ACCOUNT_ADMINISTRATORS, FILE_ALL_ACCESS },
    { ACCOUNT_SYSTEM, FILE_ALL_ACCESS },
    { ACCOUNT_EVERYONE, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE }
};

// The entries, each with nFlags. AddAccessAllowedAceEx, which takes the flags,
// came after Windows NT 4.0, so they are set in each entry once it is added.
bool BuildDacl(PACL pAcl, DWORD nSize, BYTE nFlags)
{
    if (!InitializeAcl(pAcl, nSize, ACL_REVISION))
        return false;
    for (DWORD nIndex = 0; nIndex < sizeof allowedEntries / sizeof allowedEntries[0]; ++nIndex) {
        CWellKnownSid sid(allowedEntries[nIndex].nAccount);
        ACE_HEADER* pHeader;
        if (sid.Get() == NULL) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        if (!AddAccessAllowedAce(pAcl, ACL_REVISION, allowedEntries[nIndex].nRights, sid.Get()) ||
            !GetAce(pAcl, nIndex, (LPVOID*)&pHeader))
            return false;
        pHeader->AceFlags = nFlags;
    }
    return true;
}

// Only the DACL is written: the owner stays, and nothing above is asked. On
// Windows NT 4.0 a file's DACL is its own once set (what a folder passes on
// is copied only when something is created in it), so this one stays until
// an administrator changes it.
bool Protect(const char* pszPath, BYTE nFlags)
{
    // Room for the header and three entries of the longest identifier
    // (Administrators, two relative ids).
    DWORD aclBuffer[32];
    PACL pAcl = (PACL)aclBuffer;
    SECURITY_DESCRIPTOR descriptor;
    return BuildDacl(pAcl, sizeof aclBuffer, nFlags) &&
           InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor, TRUE, pAcl, FALSE) &&
           SetFileSecurityA(pszPath, DACL_SECURITY_INFORMATION, &descriptor);
}

// A drive's root, the Windows or the system folder: every program shares it,
// and users may rightly be writing there. Closing it would break them; the
// service belongs in a folder of its own, and warns at each start until then.
bool SharedWithSystem(const char* pszFolder)
{
    if (pszFolder[1] == ':' && pszFolder[3] == '\0')
        return true;
    char szDirectory[MAX_PATH];
    UINT nLength = GetWindowsDirectoryA(szDirectory, MAX_PATH);
    if (nLength != 0 && nLength < MAX_PATH && SameText(szDirectory, pszFolder))
        return true;
    nLength = GetSystemDirectoryA(szDirectory, MAX_PATH);
    return nLength != 0 && nLength < MAX_PATH && SameText(szDirectory, pszFolder);
}

} // namespace

void ProtectServiceFiles()
{
    char paths[SERVICE_FILE_COUNT][MAX_PATH];
    // The install then fails on the same path, and says so.
    if (!FindServiceFiles(paths))
        return;
    if (!VolumeKeepsPermissions(paths[SERVICE_FOLDER])) {
        LogMessage(serviceName, "Permissions not set: the volume of %s keeps none (FAT).", paths[SERVICE_FOLDER]);
        return;
    }
    for (int nFile = SERVICE_FOLDER; nFile < SERVICE_FILE_COUNT; ++nFile) {
        // The folder's entries pass to the files and folders later created in it.
        BYTE nFlags = nFile == SERVICE_FOLDER ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0;
        if (nFile == SERVICE_FOLDER && SharedWithSystem(paths[nFile]))
            LogMessage(serviceName, "Permissions not set on %s: the system's folder.", paths[nFile]);
        else if (Protect(paths[nFile], nFlags))
            LogMessage(serviceName, "Permissions set on %s: only administrators and SYSTEM may change it.", paths[nFile]);
        else
            LogMessage(serviceName, "Permissions not set on %s: error %lu.", paths[nFile], GetLastError());
    }
}
