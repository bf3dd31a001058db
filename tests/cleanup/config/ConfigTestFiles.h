// INI files of the configuration tests: written byte for byte into a folder
// of the test's own under the terminal's temporary directory, removed again
// when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "TerminalTrace.h"

class TestFolder
{
public:
    TestFolder();
    ~TestFolder();

    // Full path of a file in the folder.
    std::string PathOf(const std::string& name) const;
    // Writes the bytes as they stand (lines should end in "\r\n").
    std::string Write(const std::string& name, const std::string& bytes);
    std::string MakeFolder(const std::string& name);

private:
    std::string m_folder;
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Switches the event log reporter on for the life of the object.
struct LoggingOn
{
    LoggingOn();
    ~LoggingOn();
};

// (source, text) of each entry this process reported since the mark, texts
// in the terminal's ANSI code page as they were logged.
std::vector<std::pair<std::string, std::string>> LoggedSince(const TraceMark& mark);
