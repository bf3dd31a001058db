#include "ServiceTestSupport.h"

#include <stdio.h>

std::string CopyFenwashTo(const std::string& folder)
{
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    std::string copy = folder + "\\Fenwash.exe";
    if (!CopyFileA((TestProgramFolder() + "Fenwash.exe").c_str(), copy.c_str(), FALSE))
        return "";
    return copy;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HANDLE StartCommand(const std::string& commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return NULL;
    CloseHandle(info.hThread);
    return info.hProcess;
}

DWORD WaitForCommand(HANDLE process, DWORD timeoutMs)
{
    if (process == NULL)
        return (DWORD)-1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 99);
    CloseHandle(process);
    return code;
}

DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs)
{
    return WaitForCommand(StartCommand(commandLine), timeoutMs);
}

FenwashRun RunFenwash(const std::string& program, const std::string& arguments)
{
    FenwashRun run;
    HANDLE process = StartCommand("\"" + program + "\" " + arguments);
    run.processId = process != NULL ? GetProcessId(process) : 0;
    run.exitCode = WaitForCommand(process);
    return run;
}

std::string ReadTextFile(const std::string& path)
{
    std::string text(65536, '\0');
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, &text[0], (DWORD)text.size(), &read, NULL);
        CloseHandle(file);
    }
    return text.substr(0, read);
}

std::string FreshServiceName(const char* stem)
{
    static int counter = 0;
    char name[64];
    snprintf(name, sizeof name, "%s%lu_%d", stem, GetCurrentProcessId(), ++counter);
    return name;
}

std::string CreateTestService(const std::string& name, const std::string& commandLine)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL)
        return "OpenSCManager error " + std::to_string(GetLastError());
    SC_HANDLE service = CreateServiceA(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, commandLine.c_str(),
                                       NULL, NULL, NULL, NULL, NULL);
    DWORD error = GetLastError();
    CloseServiceHandle(manager);
    if (service == NULL)
        return "CreateService error " + std::to_string(error);
    CloseServiceHandle(service);
    return "";
}

void DeleteTestService(const std::string& name)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS);
    if (service != NULL) {
        SERVICE_STATUS status;
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        DeleteService(service);
        CloseServiceHandle(service);
    }
    if (manager != NULL)
        CloseServiceHandle(manager);
}

SERVICE_STATUS_PROCESS QueryStatus(const std::string& name)
{
    SERVICE_STATUS_PROCESS status = {};
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name.c_str(), SERVICE_QUERY_STATUS);
    DWORD needed = 0;
    if (service == NULL ||
        !QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE*)&status, sizeof status, &needed))
        status.dwCurrentState = 0;
    if (service != NULL)
        CloseServiceHandle(service);
    if (manager != NULL)
        CloseServiceHandle(manager);
    return status;
}

bool WaitForState(const std::string& name, DWORD state, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (QueryStatus(name).dwCurrentState != state) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

SERVICE_STATUS Control(const std::string& name, DWORD control, DWORD* error)
{
    SERVICE_STATUS status = {};
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS);
    *error = 0;
    if (!ControlService(service, control, &status))
        *error = GetLastError();
    if (service != NULL)
        CloseServiceHandle(service);
    if (manager != NULL)
        CloseServiceHandle(manager);
    return status;
}

bool StartTestService(const std::string& name)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS);
    bool started = service != NULL && StartServiceA(service, 0, NULL);
    if (service != NULL)
        CloseServiceHandle(service);
    if (manager != NULL)
        CloseServiceHandle(manager);
    return started;
}

static std::string ConsoleEventCommand(DWORD processId, DWORD event)
{
    return "\"" + TestProgramFolder() + "vtool.exe\" ctrl " + std::to_string(processId) + " " +
           std::to_string(event);
}

bool SendConsoleEvent(DWORD processId, DWORD event)
{
    return RunAndWait(ConsoleEventCommand(processId, event)) == 0;
}

HANDLE StartConsoleEvent(DWORD processId, DWORD event)
{
    return StartCommand(ConsoleEventCommand(processId, event));
}

std::vector<std::string> EntryTexts(const std::vector<EventLogEntry>& entries)
{
    std::vector<std::string> texts;
    for (const EventLogEntry& entry : entries)
        texts.push_back(entry.source + ": " + (entry.strings.empty() ? "" : entry.strings[0]));
    return texts;
}

size_t CountEntries(const std::vector<EventLogEntry>& entries, const std::string& text)
{
    size_t count = 0;
    for (const std::string& line : EntryTexts(entries))
        count += line == text;
    return count;
}

bool WaitForEntry(const TraceMark& mark, DWORD processId, const std::string& text, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (CountEntries(mark.NewEntriesOf(processId), text) == 0) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}
