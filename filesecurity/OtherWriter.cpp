#include "OtherWriter.h"

namespace {

// What lets an account change the object or its contents, or replace it: for
// a folder the same bits add, replace and delete what lies in it (a program's
// folder is where the system looks first for the libraries it loads).
const DWORD WRITE_RIGHTS = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                           WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool AppliesToObject(const ACE_HEADER* pHeader)
{
    return (pHeader->AceFlags & INHERIT_ONLY_ACE) == 0;
}

} // namespace

COtherWriterCheck::COtherWriterCheck()
    : m_administrators(ACCOUNT_ADMINISTRATORS), m_system(ACCOUNT_SYSTEM), m_everyone(ACCOUNT_EVERYONE),
      m_pWriter(NULL)
{
}

WriterCheck COtherWriterCheck::Check(const char* pszPath)
{
    m_pWriter = NULL;
    if (!VolumeKeepsPermissions(pszPath))
        return WRITERS_ANYONE;
    if (!ReadDescriptor(pszPath))
        return WRITERS_UNKNOWN;
    return CheckDescriptor(m_descriptor.Bytes());
}

bool COtherWriterCheck::ReadDescriptor(const char* pszPath)
{
    DWORD nNeeded = 512;
    // The descriptor may grow between the call that gives its size and the
    // next: then its new size is asked for again.
    for (int nTry = 0; nTry < 4; ++nTry) {
        if (!m_descriptor.Reserve(nNeeded)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        if (GetFileSecurityA(pszPath, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                             m_descriptor.Bytes(), m_descriptor.Size(), &nNeeded))
            return true;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
    }
    return false;
}

WriterCheck COtherWriterCheck::CheckDescriptor(PSECURITY_DESCRIPTOR pDescriptor)
{
    m_pWriter = NULL;
    if (m_administrators.Get() == NULL || m_system.Get() == NULL || m_everyone.Get() == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return WRITERS_UNKNOWN;
    }
    PSID pOwner = NULL;
    BOOL bDefaulted;
    BOOL bPresent = FALSE;
    PACL pDacl = NULL;
    if (!GetSecurityDescriptorOwner(pDescriptor, &pOwner, &bDefaulted) ||
        !GetSecurityDescriptorDacl(pDescriptor, &bPresent, &pDacl, &bDefaulted))
        return WRITERS_UNKNOWN;
    // No DACL, or a NULL one, lets everyone do everything.
    if (!bPresent || pDacl == NULL) {
        m_pWriter = m_everyone.Get();
        return WRITER_OTHER;
    }
    for (DWORD nIndex = 0; nIndex < pDacl->AceCount; ++nIndex) {
        ACCESS_ALLOWED_ACE* pAce;
        if (!GetAce(pDacl, nIndex, (LPVOID*)&pAce))
            return WRITERS_UNKNOWN;
        if (pAce->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || !AppliesToObject(&pAce->Header))
            continue;
        PSID pSid = &pAce->SidStart;
        if (!Trusted(pSid, pOwner) && (pAce->Mask & WRITE_RIGHTS & ~DeniedBefore(pDacl, nIndex, pSid)) != 0) {
            m_pWriter = pSid;
            return WRITER_OTHER;
        }
    }
    return WRITERS_TRUSTED;
}

bool COtherWriterCheck::Trusted(PSID pSid, PSID pOwner) const
{
    return EqualSid(pSid, m_administrators.Get()) || EqualSid(pSid, m_system.Get()) ||
           (pOwner != NULL && EqualSid(pSid, pOwner));
}

// The system reads the entries in order, so a right denied to the account, or
// to Everyone, before an entry that allows it is not given by that entry. A
// denial to another group the account may belong to is not counted: the
// account may be outside it.
DWORD COtherWriterCheck::DeniedBefore(PACL pDacl, DWORD nIndex, PSID pSid) const
{
    DWORD nDenied = 0;
    for (DWORD nEarlier = 0; nEarlier < nIndex; ++nEarlier) {
        ACCESS_DENIED_ACE* pAce;
        if (GetAce(pDacl, nEarlier, (LPVOID*)&pAce) && pAce->Header.AceType == ACCESS_DENIED_ACE_TYPE &&
            AppliesToObject(&pAce->Header) &&
            (EqualSid(&pAce->SidStart, pSid) || EqualSid(&pAce->SidStart, m_everyone.Get())))
            nDenied |= pAce->Mask;
    }
    return nDenied;
}
