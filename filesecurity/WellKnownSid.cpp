#include "WellKnownSid.h"

namespace {

struct WellKnownIds
{
    BYTE nAuthority; // the last byte of the identifier authority
    BYTE nCount;
    DWORD nRids[2];
};

// In the order of WellKnownAccount.
const WellKnownIds wellKnownIds[] = {
    { 5, 2, { SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS } },
    { 5, 1, { SECURITY_LOCAL_SYSTEM_RID, 0 } },
    { 1, 1, { SECURITY_WORLD_RID, 0 } }
};

} // namespace

CWellKnownSid::CWellKnownSid(WellKnownAccount account) : m_pSid(NULL)
{
    const WellKnownIds& ids = wellKnownIds[account];
    SID_IDENTIFIER_AUTHORITY authority = { { 0, 0, 0, 0, 0, ids.nAuthority } };
    AllocateAndInitializeSid(&authority, ids.nCount, ids.nRids[0], ids.nRids[1], 0, 0, 0, 0, 0, 0, &m_pSid);
}
