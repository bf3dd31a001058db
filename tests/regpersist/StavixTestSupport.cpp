#include "StavixTestSupport.h"

#include "FlashCommit.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "TestProgram.h"

std::string ReadBytes(const std::wstring& path)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                  0, NULL));
    if (!file.IsValid())
        return "(missing)";
    std::string bytes;
    char chunk[65536];
    DWORD read;
    while (ReadFile(file.Get(), chunk, sizeof(chunk), &read, NULL) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    DWORD written;
    return file.IsValid() &&
           WriteFile(file.Get(), bytes.data(), (DWORD)bytes.size(), &written, NULL) &&
           written == bytes.size();
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteKeyList(const std::string& bytes)
{
    CreateDirectoryW(L"C:\\winnt", NULL);
    CreateDirectoryW(L"C:\\winnt\\system32", NULL);
    return WriteBytes(L"C:\\winnt\\system32\\stavix.ini", bytes);
}

bool SetValue(const std::wstring& path, const std::wstring& name, DWORD type,
              const std::string& data)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    // The registry counts a string's NUL when the caller left it out but it
    // follows the data: a byte that is not NUL behind the data keeps a
    // string without its NUL as it was given.
    std::string padded = data + "\x01\x01";
    LONG result = RegSetValueExW(key, name.c_str(), 0, type, (const BYTE*)padded.data(),
                                 (DWORD)data.size());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text)
{
    return SetValue(path, name, REG_SZ,
                    std::string((const char*)text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
}

bool SetDword(const std::wstring& path, const std::wstring& name, DWORD value)
{
    return SetValue(path, name, REG_DWORD, std::string((const char*)&value, 4));
}

bool MakeKey(const std::wstring& path)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_READ, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteTree(const std::wstring& path)
{
    std::vector<std::wstring> subkeys;
    {
        ScopedRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS)
            return;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(key.Get(), i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
                break;
            subkeys.push_back(std::wstring(name, length));
        }
    }
    for (const std::wstring& subkey : subkeys)
        DeleteTree(path + L"\\" + subkey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

namespace {

void ReadKey(const std::wstring& path, std::vector<RegistryValue>* tree)
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    tree->push_back(RegistryValue{ path, L"(key)", REG_NONE, "" });
    static wchar_t name[16384];
    static BYTE data[1 << 16];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384, type, size = sizeof(data);
        if (RegEnumValueW(key.Get(), i, name, &nameLength, NULL, &type, data, &size) !=
            ERROR_SUCCESS)
            break;
        tree->push_back(RegistryValue{ path, std::wstring(name, nameLength), type,
                                       std::string((const char*)data, size) });
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key.Get(), i, name, &nameLength, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        subkeys.push_back(std::wstring(name, nameLength));
    }
    for (const std::wstring& subkey : subkeys)
        ReadKey(path + L"\\" + subkey, tree);
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text) {
        if (c >= 32 && c < 127) {
            narrow += (char)c;
        } else {
            char escape[12];
            _snprintf(escape, sizeof(escape), "<%04x>", (unsigned)c);
            narrow += escape;
        }
    }
    return narrow;
}

} // namespace

std::vector<RegistryValue> ReadTree(const std::wstring& path)
{
    std::vector<RegistryValue> tree;
    ReadKey(path, &tree);
    return tree;
}

std::string Describe(const RegistryValue& value)
{
    std::string text = Narrow(value.key) + " \"" + Narrow(value.name) + "\" type " +
                       std::to_string(value.type) + ":";
    for (unsigned char byte : value.data) {
        char hex[4];
        _snprintf(hex, sizeof(hex), " %02x", byte);
        text += hex;
    }
    return text;
}

DWORD RunProgram(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0xDEAD;
    ScopedHandle thread(process.hThread);
    ScopedHandle handle(process.hProcess);
    DWORD exitCode = 0xDEAD;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 0xDEAD);
    return exitCode;
}

DWORD RunStavix(const std::wstring& arguments)
{
    return RunProgram(L"\"" + Widen(TestProgramFolder()) + L"Stavix.exe\" " + arguments);
}

std::wstring FlashStoreFile(const std::wstring& name)
{
    return L"T:\\flash\\" + name;
}

std::string FlashFile(const std::wstring& name)
{
    return ReadBytes(FlashStoreFile(name));
}

bool OnFlash(const std::wstring& name)
{
    return FileExists(FlashStoreFile(name));
}

bool PutOnFlash(const std::wstring& name, const std::string& bytes)
{
    std::wstring staged = L"Z:\\to-flash.tmp";
    bool put = WriteBytes(staged, bytes) && CopyFileToFlash(staged.c_str(), name.c_str()) == 0;
    DeleteFileW(staged.c_str());
    return put;
}

void ClearFlash()
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"T:\\flash\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(FlashStoreFile(entry.cFileName).c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}
