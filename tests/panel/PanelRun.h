// Running the real Pendrax.exe on the terminal and looking at its windows
// from outside, as a user would see them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "SubstituteControl.h"

// Who a run is: the test's own user, or the same user without the right to
// shut the system down, to whom Windows refuses a restart.
enum class RunAs { kUser, kUserWithoutShutdown };

// One run of Pendrax.exe with the given argument text (empty for none), its
// standard output sent to the given handle when there is one (as a prompt's
// redirection does). A run still going when the object goes is ended, so no
// test leaves one.
class PanelRun
{
public:
    explicit PanelRun(const std::wstring& arguments, RunAs runAs = RunAs::kUser,
                      HANDLE standardOutput = NULL);
    ~PanelRun();
    PanelRun(const PanelRun&) = delete;
    PanelRun& operator=(const PanelRun&) = delete;

    bool Started() const { return m_process != NULL; }
    DWORD ProcessId() const { return m_processId; }
    // The exit status once the run ended within the time, else nothing.
    bool WaitForExit(DWORD ms, DWORD* exitStatus);
    // The run's visible top-level window with this title; NULL after ms.
    HWND WaitForWindow(LPCWSTR title, DWORD ms = 20000) const;
    // The run's window with this title whose text control holds text.
    HWND WaitForBox(LPCWSTR title, LPCWSTR text, DWORD ms = 20000) const;
    // The restart requests of this run that reached the session's trace.
    int RestartRequests() const;

private:
    HANDLE m_process;
    DWORD m_processId;
};

// Polls every 100 ms until the condition holds; false after ms.
template <class Condition>
bool WaitUntil(Condition condition, DWORD ms)
{
    for (DWORD start = GetTickCount();; Sleep(100)) {
        if (condition())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
    }
}

std::wstring ControlText(HWND dialog, int id);
std::vector<std::wstring> ListLines(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
// The icon handle a static control shows; the same icon resource gives the
// same handle for the whole of a run.
HICON ShownIcon(HWND dialog, int id);
// Clicks a button (BM_CLICK), without waiting for the dialog to answer.
void PressButton(HWND dialog, int id);

WriteFilterTestState FilterState();
void SetFilter(uint32_t inUse, uint32_t total, uint8_t mode, uint32_t faults = 0,
               uint32_t flushDelayMs = 0);

// HKEY_LOCAL_MACHINE values; a value that is not there reads as missing.
bool ReadMachineDword(LPCWSTR key, LPCWSTR value, DWORD* data);
void WriteMachineDword(LPCWSTR key, LPCWSTR value, DWORD data);
void WriteMachineValue(LPCWSTR key, LPCWSTR value, DWORD type, const void* data, DWORD size);
void DeleteMachineValue(LPCWSTR key, LPCWSTR value);
void DeleteMachineKeyTree(LPCWSTR key);

extern const wchar_t kStatusTitle[];
extern const wchar_t kDriverKey[];
extern const wchar_t kPanelKeyPath[];
