// The one spelling of a directory that the cleanup compares and acts on.
#pragma once

#include <windows.h>

// The full, canonical form of a directory path, as the platform would open
// it: "\\?\" and "\\.\" dropped, "/" made "\", "." and ".." parts resolved,
// doubled separators and the last part's trailing dots and blanks removed; a
// trailing backslash stays. False for anything but a full local path (drive
// letter, colon, separator) and for one that does not fit.
bool CanonicalDirectory(const char* pszPath, char (&szFull)[MAX_PATH]);

// True for a path that starts with two separators ("\" or "/"): a share or a
// device path, which depends on no current directory or drive.
bool StartsWithTwoSeparators(const char* pszPath);
