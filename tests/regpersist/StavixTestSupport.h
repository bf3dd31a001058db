// What the Stavix tests share: files on the terminal, registry trees, the
// flash store, and Stavix.exe run as a program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Whole-file access, byte for byte; an unreadable file reads as "(missing)".
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

// Writes the key list "C:\winnt\system32\stavix.ini", making its folder.
bool WriteKeyList(const std::string& bytes);

// A registry value under HKEY_LOCAL_MACHINE\path, made with its key.
bool SetValue(const std::wstring& path, const std::wstring& name, DWORD type,
              const std::string& data);
bool SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text);
bool SetDword(const std::wstring& path, const std::wstring& name, DWORD value);
bool MakeKey(const std::wstring& path);
void DeleteTree(const std::wstring& path);

struct RegistryValue
{
    std::wstring key;  // path below HKEY_LOCAL_MACHINE
    std::wstring name;
    DWORD type;
    std::string data;
    bool operator==(const RegistryValue& other) const
    {
        return key == other.key && name == other.name && type == other.type && data == other.data;
    }
};

// Every key and value of the tree under HKEY_LOCAL_MACHINE\path, keys as
// values of type REG_NONE with the name "(key)", in enumeration order.
std::vector<RegistryValue> ReadTree(const std::wstring& path);
std::string Describe(const RegistryValue& value);

// Stavix.exe beside the test program, with the given command line; its exit
// status, or 0xDEAD when it did not run or end within a minute.
DWORD RunStavix(const std::wstring& arguments);
// Any program; the command line is used as given.
DWORD RunProgram(const std::wstring& commandLine);

// The flash store's file of a flash file, as the terminal sees it.
std::wstring FlashStoreFile(const std::wstring& name);
std::string FlashFile(const std::wstring& name);
bool OnFlash(const std::wstring& name);
// Puts a file on flash through the flash device.
bool PutOnFlash(const std::wstring& name, const std::string& bytes);
void ClearFlash();

std::wstring Widen(const std::string& text);
