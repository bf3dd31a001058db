// Folders, files, INI text and links on the terminal's drive C: for the
// engine's tests.
#pragma once

#include <windows.h>

#include <string>

// A fresh, empty folder C:\engine\<name>.
std::string FreshFolder(const std::string& name);
void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
bool Exists(const std::string& path);
// Number of entries in a folder, "." and ".." not counted; -1 when it is missing.
int CountEntries(const std::string& folder);
// Writes a whole file of text lines (each ends in CR LF).
void WriteTextFile(const std::string& path, const std::string& lines);
// A Unix symbolic link at linkPath to target, made the way the terminal knows
// it (a folder link shows as a directory with FILE_ATTRIBUTE_REPARSE_POINT,
// a file link as the file).
bool MakeUnixLink(const std::string& linkPath, const std::string& target);
// Removes what MakeFile and MakeFolder made, read-only entries included; a
// link is not followed.
void RemoveTree(const std::string& path);
