// What the Stavix tests share: files, registry trees under HKLM, the flash
// store, and Stavix.exe run as a program on the terminal.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "EventLogTrace.h"

// Whole files, byte for byte; a file that does not open reads as "(missing)".
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The key list "C:\winnt\system32\stavix.ini", its folder made.
bool WriteKeyList(const std::string& bytes);

// A value under HKLM\key, made with its key; data is taken exactly as given.
bool SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const std::string& data);
std::string Sz(const std::wstring& text); // a string's data with its NUL
std::string Dword(DWORD value);
void DeleteTree(const std::wstring& key);

// A key or value of a tree; a key has the type REG_NONE and the name "(key)".
struct RegistryValue
{
    std::wstring key, name;
    DWORD type;
    std::string data;
    bool operator==(const RegistryValue& o) const
    {
        return key == o.key && name == o.name && type == o.type && data == o.data;
    }
};
// Every key and value under HKLM\key, in the registry's own order.
std::vector<RegistryValue> ReadTree(const std::wstring& key);
std::string Describe(const RegistryValue& value);

// Runs a program; its exit status, or 0xDEAD when it did not run or end
// within a minute. RunStavix starts Stavix.exe beside the test program.
DWORD RunProgram(std::wstring commandLine, DWORD* processId = NULL);
DWORD RunStavix(const std::wstring& arguments);
// RunStavix, with the event log entries the run reported, read back from the
// session's trace.
DWORD RunStavixLogged(const std::wstring& arguments, std::vector<EventLogEntry>* entries);
// RunStavix under a debugger, which gathers the program's debugger output in the
// 8-bit form the system hands a debugger; and its event log entries, when asked.
DWORD RunStavixWatched(const std::wstring& arguments, std::string* debugOutput,
                       std::vector<EventLogEntry>* entries = NULL);

// The flash store, as the terminal sees it on drive T:.
std::string FlashFile(const std::wstring& name);
bool OnFlash(const std::wstring& name);
bool PutOnFlash(const std::wstring& name, const std::string& bytes);
void ClearFlash();
