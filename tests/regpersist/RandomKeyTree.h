// Seeded random registry trees for the round trip through Stavix and the
// registry editor: names and strings with backslashes, quotes and accented
// letters, dwords, binaries of 0 to 300 bytes, expand and multi strings,
// strings with line breaks or without their NUL, nested subkeys.
#pragma once

#include <windows.h>

#include <string>

// Makes the tree of this seed under HKEY_LOCAL_MACHINE\path; the same seed
// always makes the same tree.
bool MakeRandomKeyTree(const std::wstring& path, unsigned seed);
