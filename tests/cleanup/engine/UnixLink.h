// Links on the terminal's drive C:, made as Wine knows them.
#pragma once

#include <windows.h>

#include <string>

// A Unix symbolic link at linkPath to target, made the way the terminal knows
// it (a folder link shows as a directory with FILE_ATTRIBUTE_REPARSE_POINT,
// a file link as the file).
bool MakeUnixLink(const std::string& linkPath, const std::string& target);

// A drive letter (as "Y") whose root is the folder: another name for it, as
// a network or substituted drive gives one.
bool MakeDriveLetter(char letter, const std::string& folder);
