#include "StavixTestSupport.h"

#include <stdio.h>

#include "FlashCommit.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "TerminalTrace.h"
#include "TestProgram.h"

std::string ReadBytes(const std::wstring& path)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    std::string bytes = file.IsValid() ? "" : "(missing)";
    char chunk[65536];
    DWORD read;
    while (file.IsValid() && ReadFile(file.Get(), chunk, sizeof(chunk), &read, NULL) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    DWORD written;
    return file.IsValid() && WriteFile(file.Get(), bytes.data(), (DWORD)bytes.size(), &written, NULL) &&
           written == bytes.size();
}

bool WriteKeyList(const std::string& bytes)
{
    CreateDirectoryW(L"C:\\winnt", NULL);
    CreateDirectoryW(L"C:\\winnt\\system32", NULL);
    return WriteBytes(L"C:\\winnt\\system32\\stavix.ini", bytes);
}

bool SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const std::string& data)
{
    HKEY handle;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL))
        return false;
    // The registry counts a string's NUL that the caller left out when one
    // follows the data; a byte that is not NUL there keeps the data as given.
    std::string padded = data + "\x01\x01";
    LONG result = RegSetValueExW(handle, name.c_str(), 0, type, (const BYTE*)padded.data(), (DWORD)data.size());
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::string Sz(const std::wstring& text)
{
    return std::string((const char*)text.c_str(), (text.size() + 1) * 2);
}

std::string Dword(DWORD value)
{
    return std::string((const char*)&value, 4);
}

namespace {

std::vector<std::wstring> Subkeys(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    DWORD length = 256;
    for (DWORD i = 0; RegEnumKeyExW(key, i, name, &length, NULL, NULL, NULL, NULL) == 0; ++i, length = 256)
        names.push_back(std::wstring(name, length));
    return names;
}

void ReadKey(const std::wstring& path, std::vector<RegistryValue>* tree)
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    tree->push_back(RegistryValue{ path, L"(key)", REG_NONE, "" });
    static wchar_t name[16384];
    static BYTE data[1 << 16];
    DWORD nameLength = 16384, type, size = sizeof(data);
    for (DWORD i = 0; RegEnumValueW(key.Get(), i, name, &nameLength, NULL, &type, data, &size) == 0;
         ++i, nameLength = 16384, size = sizeof(data))
        tree->push_back(RegistryValue{ path, std::wstring(name, nameLength), type, std::string((char*)data, size) });
    for (const std::wstring& subkey : Subkeys(key.Get()))
        ReadKey(path + L"\\" + subkey, tree);
}

} // namespace

void DeleteTree(const std::wstring& path)
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) == ERROR_SUCCESS) {
        for (const std::wstring& subkey : Subkeys(key.Get()))
            DeleteTree(path + L"\\" + subkey);
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

std::vector<RegistryValue> ReadTree(const std::wstring& key)
{
    std::vector<RegistryValue> tree;
    ReadKey(key, &tree);
    return tree;
}

std::string Describe(const RegistryValue& value)
{
    std::string text;
    char part[16];
    for (wchar_t c : value.key + L" \"" + value.name + L"\"") {
        _snprintf(part, sizeof(part), c >= 32 && c < 127 ? "%c" : "<%04x>", (unsigned)c);
        text += part;
    }
    text += " type " + std::to_string(value.type) + ":";
    for (unsigned char byte : value.data) {
        _snprintf(part, sizeof(part), " %02x", byte);
        text += part;
    }
    return text;
}

DWORD RunProgram(std::wstring commandLine, DWORD* processId)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0xDEAD;
    ScopedHandle thread(process.hThread), handle(process.hProcess);
    if (processId != NULL)
        *processId = process.dwProcessId;
    DWORD exitCode = 0xDEAD;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 0xDEAD);
    return exitCode;
}

namespace {

std::wstring StavixCommandLine(const std::wstring& arguments)
{
    std::string folder = TestProgramFolder();
    return L"\"" + std::wstring(folder.begin(), folder.end()) + L"Stavix.exe\" " + arguments;
}

} // namespace

DWORD RunStavix(const std::wstring& arguments)
{
    return RunProgram(StavixCommandLine(arguments));
}

DWORD RunStavixLogged(const std::wstring& arguments, std::vector<EventLogEntry>* entries)
{
    TraceMark mark;
    DWORD processId = 0;
    DWORD exitStatus = RunProgram(StavixCommandLine(arguments), &processId);
    *entries = mark.NewEntriesOf(processId);
    return exitStatus;
}

DWORD RunStavixWatched(const std::wstring& arguments, std::string* debugOutput,
                       std::vector<EventLogEntry>* entries)
{
    TraceMark mark;
    std::wstring commandLine = StavixCommandLine(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL,
                        NULL, &startup, &process))
        return 0xDEAD;
    ScopedHandle thread(process.hThread), handle(process.hProcess);
    DEBUG_EVENT event;
    while (WaitForDebugEvent(&event, 60000)) {
        DWORD code = event.dwDebugEventCode, continueStatus = DBG_CONTINUE;
        if (code == CREATE_PROCESS_DEBUG_EVENT || code == LOAD_DLL_DEBUG_EVENT)
            CloseHandle(code == LOAD_DLL_DEBUG_EVENT ? event.u.LoadDll.hFile : event.u.CreateProcessInfo.hFile);
        if (code == OUTPUT_DEBUG_STRING_EVENT && !event.u.DebugString.fUnicode) {
            std::string text(event.u.DebugString.nDebugStringLength, '\0');
            SIZE_T read = 0;
            ReadProcessMemory(process.hProcess, event.u.DebugString.lpDebugStringData, &text[0], text.size(), &read);
            debugOutput->append(text.c_str());
        }
        if (code == EXCEPTION_DEBUG_EVENT && event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
            continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
        if (code == EXIT_PROCESS_DEBUG_EVENT) {
            if (entries != NULL)
                *entries = mark.NewEntriesOf(process.dwProcessId);
            return event.u.ExitProcess.dwExitCode;
        }
    }
    TerminateProcess(process.hProcess, 0xDEAD);
    return 0xDEAD;
}

std::string FlashFile(const std::wstring& name)
{
    return ReadBytes(L"T:\\flash\\" + name);
}

bool OnFlash(const std::wstring& name)
{
    return GetFileAttributesW((L"T:\\flash\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PutOnFlash(const std::wstring& name, const std::string& bytes)
{
    bool put = WriteBytes(L"Z:\\to-flash.tmp", bytes) && CopyFileToFlash(L"Z:\\to-flash.tmp", name.c_str()) == 0;
    DeleteFileW(L"Z:\\to-flash.tmp");
    return put;
}

void ClearFlash()
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"T:\\flash\\*", &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry))
        DeleteFileW((std::wstring(L"T:\\flash\\") + entry.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}
