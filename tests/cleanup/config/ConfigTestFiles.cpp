#include "ConfigTestFiles.h"

#include <stdio.h>

#include "service/LogMessage.h"

TestFolder::TestFolder()
{
    static int created = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[64];
    snprintf(name, sizeof name, "fenwash-config-%lu-%d", GetCurrentProcessId(), ++created);
    m_folder = std::string(temp) + name;
    CreateDirectoryA(m_folder.c_str(), NULL);
}

TestFolder::~TestFolder()
{
    for (const std::string& file : m_files)
        DeleteFileA(file.c_str());
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
        RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(m_folder.c_str());
}

std::string TestFolder::PathOf(const std::string& name) const
{
    return m_folder + "\\" + name;
}

std::string TestFolder::Write(const std::string& name, const std::string& bytes)
{
    std::string path = PathOf(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
        CloseHandle(file);
    }
    m_files.push_back(path);
    return path;
}

std::string TestFolder::MakeFolder(const std::string& name)
{
    std::string path = PathOf(name);
    CreateDirectoryA(path.c_str(), NULL);
    m_folders.push_back(path);
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

LoggingOn::LoggingOn() { logDisabled = 0; }
LoggingOn::~LoggingOn() { logDisabled = 1; }

// Undoes AnsiToUtf8 for texts that the code page can hold.
static std::string Utf8ToAnsi(const std::string& utf8)
{
    if (utf8.empty())
        return utf8;
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), NULL, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &wide[0], wideLength);
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, NULL, 0, NULL, NULL);
    std::string ansi(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], length, NULL, NULL);
    return ansi;
}

std::vector<std::pair<std::string, std::string>> LoggedSince(const TraceMark& mark)
{
    std::vector<std::pair<std::string, std::string>> logged;
    for (const EventLogEntry& entry : mark.NewEntries())
        logged.emplace_back(entry.source, entry.strings.empty() ? std::string() : Utf8ToAnsi(entry.strings[0]));
    return logged;
}
