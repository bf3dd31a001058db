// What a cleanup item does to the file system, and the programs it starts.
// Paths are ANSI and at most 259 characters; a longer one is refused, never cut.
#pragma once

#include <windows.h>

#include "config/CanonicalPath.h"

// Decided on the canonical form: false for a path that is no full local path,
// a drive's root, the program's, the Windows or the system directory in any
// spelling (short names and links included), a folder that holds one of
// them, or a leading part of one of them by characters (C:\WIN). A folder that
// is missing is accepted; one that cannot be read for another reason is not.
bool CanCleanDir(const char* pszPath);

// Deletes everything in the directory, named by its canonical form, except
// names starting with "." and the directories of [DontDeleteDirs] (by text or
// by identity); false for a path that is no full local path. A link (junction
// or symbolic link) is never entered: one at the path itself is left, one
// found inside is removed itself. A name ending in a dot or blank is deleted
// by its exact name. True when everything it tried at this level went.
bool DeleteDirectoryContents(const char* pszPath);

// Empties the directory, named by its canonical form, and removes it (a path
// ending in a backslash is only emptied); a link at the path is removed
// itself, never entered. With bCheck, a directory that CanCleanDir refuses is
// not touched.
bool DeleteDirectory(const char* pszPath, bool bCheck);

// Deletes the files of the pattern's folder (up to its last "\" or "/")
// whose long names match its name part as Windows' search reads it
// (MatchesWildcard); a pattern without a folder is refused. A folder that
// matches is left and makes the result false. Not guarded: neither
// CanCleanDir nor [DontDeleteDirs] is asked.
bool DeleteMatchingFiles(const char* pszPattern);

// Starts the command line without a window, without handing down handles
// and without waiting for it. An unquoted program is started quoted by the
// full name of a file that exists: a bare name (up to the first blank) is
// looked for in the program's folder, the system and Windows directories and
// PATH, never the current directory; a full path runs up to its extension
// (.exe, .com, .bat, .cmd), and without one only when nothing follows it.
bool RunApplication(const char* pszCommandLine);
