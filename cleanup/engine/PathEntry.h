// The entries the file walks meet: how to name one exactly, what stands at a
// path, and which failures mean that nothing is there.
#pragma once

#include <windows.h>

// True for the errors that say a path names nothing (no such file, no such
// folder, or a search that matched nothing); any other failure, such as
// access denied or a bad name, says nothing about whether something is there.
inline bool IsNotFound(DWORD nError)
{
    return nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND || nError == ERROR_NO_MORE_FILES;
}

// The full name of the entry pszName in the folder pszFolder (which ends in a
// backslash), built so that it reaches that very entry: a name that ends in a
// dot or a blank goes through the "\\?\" form, which also carries on to every
// name below it. False when it does not fit, or when such a name lies in a
// folder that is no full local path.
bool EntryFullName(const char* pszFolder, const char* pszName, char (&szFull)[MAX_PATH]);

// The attributes of the entry at a full, canonical path, a trailing backslash
// ignored: "C:\Link\" would show the target of a link that "C:\Link" shows as
// one. INVALID_FILE_ATTRIBUTES, with the error set, when they cannot be read.
DWORD EntryAttributes(const char* pszPath);

inline bool IsLink(DWORD nAttributes)
{
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// "." and "..", which a search lists in every folder but which are no
// entries of it.
inline bool IsSelfOrParent(const char* pszName)
{
    return pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'));
}
