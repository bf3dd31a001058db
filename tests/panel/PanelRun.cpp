#include "PanelRun.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include "ScopedHandle.h"
#include "TerminalTrace.h"
#include "TestProgram.h"

const wchar_t kStatusTitle[] = L"Write Filter Device Control";
const wchar_t kDriverKey[] = L"SYSTEM\\CurrentControlSet\\Services\\pendrax";
const wchar_t kPanelKeyPath[] = L"SOFTWARE\\ZRT\\pendrax";

namespace {

// The test's own token without the shutdown privilege: a deleted privilege
// cannot be enabled again, so AdjustTokenPrivileges reports it not assigned.
HANDLE TokenWithoutShutdown()
{
    HANDLE raw;
    if (!OpenProcessToken(GetCurrentProcess(),
                          TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY, &raw))
        return NULL;
    ScopedHandle own(raw);
    LUID_AND_ATTRIBUTES shutdown = {};
    if (!LookupPrivilegeValueW(NULL, L"SeShutdownPrivilege", &shutdown.Luid))
        return NULL;
    HANDLE restricted;
    if (!CreateRestrictedToken(own.Get(), 0, 0, NULL, 1, &shutdown, 0, NULL, &restricted))
        return NULL;
    return restricted;
}

} // namespace

PanelRun::PanelRun(const std::wstring& arguments, RunAs runAs, HANDLE standardOutput)
    : m_process(NULL), m_processId(0)
{
    std::string folder = TestProgramFolder();
    std::wstring line = L"\"" + std::wstring(folder.begin(), folder.end()) + L"Pendrax.exe\"";
    if (!arguments.empty())
        line += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    BOOL inherit = FALSE;
    if (standardOutput != NULL) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
        inherit = TRUE;
    }
    PROCESS_INFORMATION info;
    BOOL started;
    if (runAs == RunAs::kUser) {
        started = CreateProcessW(NULL, &line[0], NULL, NULL, inherit, 0, NULL, NULL, &startup,
                                 &info);
    } else {
        ScopedHandle token(TokenWithoutShutdown());
        if (!token.IsValid()) {
            ADD_FAILURE() << "no token without the shutdown privilege, error " << GetLastError();
            return;
        }
        started = CreateProcessAsUserW(token.Get(), NULL, &line[0], NULL, NULL, inherit, 0, NULL,
                                       NULL, &startup, &info);
    }
    if (!started) {
        ADD_FAILURE() << "Pendrax.exe did not start, error " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
}

PanelRun::~PanelRun()
{
    if (m_process == NULL)
        return;
    if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "Pendrax.exe " << m_processId << " was still running";
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

bool PanelRun::WaitForExit(DWORD ms, DWORD* exitStatus)
{
    return m_process != NULL && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0
           && GetExitCodeProcess(m_process, exitStatus);
}

namespace {

struct WindowSearch
{
    DWORD processId;
    LPCWSTR title;
    LPCWSTR text;
    HWND found;
};

BOOL CALLBACK HasText(HWND child, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    wchar_t text[512];
    if (GetWindowTextW(child, text, 512) > 0 && lstrcmpW(text, search->text) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[256];
    if (owner != search->processId || !IsWindowVisible(window)
        || GetWindowTextW(window, title, 256) == 0 || lstrcmpW(title, search->title) != 0)
        return TRUE;
    if (search->text != NULL) {
        WindowSearch inner = { 0, NULL, search->text, NULL };
        EnumChildWindows(window, HasText, reinterpret_cast<LPARAM>(&inner));
        if (inner.found == NULL)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindRunWindow(DWORD processId, LPCWSTR title, LPCWSTR text, DWORD ms)
{
    WindowSearch search = { processId, title, text, NULL };
    WaitUntil([&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != NULL;
    }, ms);
    return search.found;
}

} // namespace

HWND PanelRun::WaitForWindow(LPCWSTR title, DWORD ms) const
{
    return FindRunWindow(m_processId, title, NULL, ms);
}

HWND PanelRun::WaitForBox(LPCWSTR title, LPCWSTR text, DWORD ms) const
{
    return FindRunWindow(m_processId, title, text, ms);
}

int PanelRun::RestartRequests() const
{
    // Each line of the trace starts with the process id in four hex digits.
    char prefix[16];
    _snprintf(prefix, sizeof(prefix), "%04lx:", m_processId);
    prefix[sizeof(prefix) - 1] = '\0';
    std::string trace = ReadTerminalTrace();
    int count = 0;
    for (size_t at = trace.find("InitiateSystemShutdownExW"); at != std::string::npos;
         at = trace.find("InitiateSystemShutdownExW", at + 1)) {
        size_t lineStart = trace.rfind('\n', at);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        if (trace.compare(lineStart, strlen(prefix), prefix) == 0)
            ++count;
    }
    return count;
}

std::wstring ControlText(HWND dialog, int id)
{
    wchar_t text[512] = L"";
    GetWindowTextW(GetDlgItem(dialog, id), text, 512);
    return text;
}

std::vector<std::wstring> ListLines(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::wstring> lines;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count))
        return lines;
    for (DWORD_PTR i = 0; i < count; ++i) {
        wchar_t line[512] = L"";
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)line, SMTO_BLOCK, 5000, &length);
        lines.push_back(line);
    }
    return lines;
}

bool ControlEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

HICON ShownIcon(HWND dialog, int id)
{
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), STM_GETICON, 0, 0, SMTO_BLOCK, 5000, &icon);
    return (HICON)icon;
}

void PressButton(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

WriteFilterTestState FilterState()
{
    WriteFilterTestState state = {};
    EXPECT_TRUE(GetWriteFilterTestState(&state)) << GetLastError();
    return state;
}

void SetFilter(uint32_t inUse, uint32_t total, uint8_t mode, uint32_t faults, uint32_t flushDelayMs)
{
    WriteFilterTestState state = {};
    state.status.blocksInUse = inUse;
    state.status.blocksTotal = total;
    state.status.mode = mode;
    state.faults = faults;
    state.flushDelayMs = flushDelayMs;
    EXPECT_TRUE(SetWriteFilterTestState(state)) << GetLastError();
}

bool ReadMachineDword(LPCWSTR key, LPCWSTR value, DWORD* data)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = sizeof(*data);
    LONG result = RegQueryValueExW(opened, value, NULL, &type, (BYTE*)data, &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS && type == REG_DWORD;
}

void WriteMachineValue(LPCWSTR key, LPCWSTR value, DWORD type, const void* data, DWORD size)
{
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_WRITE, NULL, &opened, NULL),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(opened, value, 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(opened);
}

void WriteMachineDword(LPCWSTR key, LPCWSTR value, DWORD data)
{
    WriteMachineValue(key, value, REG_DWORD, &data, sizeof(data));
}

void DeleteMachineValue(LPCWSTR key, LPCWSTR value)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(opened, value);
    RegCloseKey(opened);
}

void DeleteMachineKeyTree(LPCWSTR key)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    wchar_t child[256];
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(opened, i, child, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        children.push_back(std::wstring(key) + L"\\" + child);
    }
    RegCloseKey(opened);
    for (const std::wstring& path : children)
        DeleteMachineKeyTree(path.c_str());
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
}
