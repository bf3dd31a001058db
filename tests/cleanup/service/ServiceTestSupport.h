// Running the Fenwash program on the terminal: copies of it in folders of
// their own, services created for them in the terminal's service control
// manager, their states and their event log entries.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TerminalTrace.h"
#include "TestProgram.h"

// Makes `folder` (and its parents) and copies B:\Fenwash.exe into it; returns
// the copy's path, or "" on failure.
std::string CopyFenwashTo(const std::string& folder);

bool WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Starts a command line; its process handle, or NULL if it did not start.
HANDLE StartCommand(const std::string& commandLine);
// Waits for a started command and closes its handle; its exit code, or -1.
DWORD WaitForCommand(HANDLE process, DWORD timeoutMs = 60000);
// Runs a command line and waits for it; its exit code, or -1 if it did not start.
DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs = 60000);

struct FenwashRun
{
    DWORD exitCode = (DWORD)-1;
    DWORD processId = 0;
};
// Runs the program with the arguments and waits for it.
FenwashRun RunFenwash(const std::string& program, const std::string& arguments);

// The whole file (up to 64 KiB); "" when it cannot be read.
std::string ReadTextFile(const std::string& path);

// A service name not used before in this session.
std::string FreshServiceName(const char* stem);

// Creates an own-process demand-start service; "" on success, else the error.
std::string CreateTestService(const std::string& name, const std::string& commandLine);
void DeleteTestService(const std::string& name);

// Leaves no service "Fenwash" behind, whatever a test did.
struct FenwashRemovedAfterwards
{
    ~FenwashRemovedAfterwards() { DeleteTestService("Fenwash"); }
};

SERVICE_STATUS_PROCESS QueryStatus(const std::string& name);
// Waits until the service reports `state`; false after the time-out.
bool WaitForState(const std::string& name, DWORD state, DWORD timeoutMs = 20000);
// ControlService; the status it returned, and the call's error in *error.
SERVICE_STATUS Control(const std::string& name, DWORD control, DWORD* error);
bool StartTestService(const std::string& name);

// Delivers a console control event with B:\vtool.exe ctrl; true when delivered.
bool SendConsoleEvent(DWORD processId, DWORD event);
// The same without waiting for the handler: the sender's process handle.
HANDLE StartConsoleEvent(DWORD processId, DWORD event);

// The texts of the entries, as "SOURCE: TEXT".
std::vector<std::string> EntryTexts(const std::vector<EventLogEntry>& entries);
// Waits until an entry of `processId` since `mark` has exactly `text`.
bool WaitForEntry(const TraceMark& mark, DWORD processId, const std::string& text,
                  DWORD timeoutMs = 20000);
size_t CountEntries(const std::vector<EventLogEntry>& entries, const std::string& text);
