// Folders, files, INI text and links on the terminal's drive C: for the
// engine's tests.
#pragma once

#include <windows.h>

#include <string>

#include "UnixLink.h"

// A fresh, empty folder C:\engine\<name>.
std::string FreshFolder(const std::string& name);
void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
bool Exists(const std::string& path);
// Number of entries in a folder, "." and ".." not counted; -1 when it is missing.
int CountEntries(const std::string& folder);
// Writes a whole file of text lines (each ends in CR LF).
void WriteTextFile(const std::string& path, const std::string& lines);
// Removes what MakeFile and MakeFolder made, read-only entries included; a
// link is not followed.
void RemoveTree(const std::string& path);
