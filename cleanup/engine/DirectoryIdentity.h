// What the file system says a folder is, whatever the path that names it.
#pragma once

#include <windows.h>

struct DirectoryIdentity
{
    DWORD nVolume;
    DWORD nIndexHigh;
    DWORD nIndexLow;
};

// The volume serial number and file index of the folder (or file) at the
// path; a link at the path is followed. False, with the error set, when it
// cannot be opened.
bool GetIdentity(const char* pszPath, DirectoryIdentity* pIdentity);

bool SameIdentity(const DirectoryIdentity& a, const DirectoryIdentity& b);
