// Who, besides administrators, SYSTEM and its owner, may change a file or a
// folder. A program that runs as LocalSystem and does what a file tells it
// hands LocalSystem's power to everyone who may change that file: Fenwash
// looks at its program, folder and configuration, and Stavix's key list can
// be looked at the same way. ANSI paths only: that list has a fixed name that
// needs no other.
#pragma once

#include <windows.h>

#include "HeapBuffer.h"
#include "WellKnownSid.h"

enum WriterCheck
{
    WRITERS_TRUSTED, // only Administrators, SYSTEM and the owner may change it
    WRITER_OTHER,    // another account may: Writer() says which
    WRITERS_ANYONE,  // its volume keeps no permissions (FAT): anyone may
    WRITERS_UNKNOWN  // its permissions could not be read: GetLastError says why
};

class COtherWriterCheck
{
public:
    COtherWriterCheck();

    WriterCheck Check(const char* pszPath);
    // The same for a descriptor in memory that holds an owner and a DACL.
    WriterCheck CheckDescriptor(PSECURITY_DESCRIPTOR pDescriptor);
    // After WRITER_OTHER: the first such account, valid until the next check.
    PSID Writer() const { return m_pWriter; }

private:
    bool ReadDescriptor(const char* pszPath);
    bool Trusted(PSID pSid, PSID pOwner) const;
    DWORD DeniedBefore(PACL pDacl, DWORD nIndex, PSID pSid) const;

    HeapBuffer m_descriptor;
    CWellKnownSid m_administrators;
    CWellKnownSid m_system;
    CWellKnownSid m_everyone;
    PSID m_pWriter;
};

// False when the volume that holds the path keeps no permissions (FAT); true
// when it does, or when that cannot be told (a network share), so that the
// permission calls themselves then report what is wrong.
bool VolumeKeepsPermissions(const char* pszPath);

// The account as "DOMAIN\name" ("name" when it has no domain), or as
// "S-1-5-..." when the system has no name for it; cut at nSize characters.
void AccountName(PSID pSid, char* pszName, DWORD nSize);
