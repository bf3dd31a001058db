// Owns the security identifier of a built-in account, built with
// AllocateAndInitializeSid and freed with FreeSid, the one call that may
// release it.
#pragma once

#include <windows.h>

enum WellKnownAccount
{
    ACCOUNT_ADMINISTRATORS, // BUILTIN\Administrators, S-1-5-32-544
    ACCOUNT_SYSTEM,         // NT AUTHORITY\SYSTEM, S-1-5-18
    ACCOUNT_EVERYONE        // Everyone, S-1-1-0
};

class CWellKnownSid
{
public:
    // Get() is NULL when the identifier could not be built.
    explicit CWellKnownSid(WellKnownAccount account);
    ~CWellKnownSid()
    {
        if (m_pSid != NULL)
            FreeSid(m_pSid);
    }
    CWellKnownSid(const CWellKnownSid&) = delete;
    CWellKnownSid& operator=(const CWellKnownSid&) = delete;

    PSID Get() const { return m_pSid; }

private:
    PSID m_pSid;
};
