// What a cleanup item does to the file system, and the programs it starts.
// Paths are ANSI and at most 259 characters; a longer one is refused, never cut.
#pragma once

#include <windows.h>

// False for a path that is the program's, the Windows or the system directory,
// or a leading part of one of them (compared by characters, case ignored).
bool CanCleanDir(const char* pszPath);

// Deletes everything in the directory except names starting with "." and the
// directories of [DontDeleteDirs]. A link (junction or symbolic link) found
// inside is removed itself and never followed. True when everything it tried
// at this level went.
bool DeleteDirectoryContents(const char* pszPath);

// Empties the directory and removes it; with bCheck, a directory that
// CanCleanDir refuses is not touched.
bool DeleteDirectory(const char* pszPath, bool bCheck);

// Deletes the files that match a pattern with a directory part; a pattern
// without one is refused.
bool DeleteMatchingFiles(const char* pszPattern);

// Starts the command line without a window and without waiting for it.
bool RunApplication(const char* pszCommandLine);
