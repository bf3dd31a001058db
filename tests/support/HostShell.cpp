#include "HostShell.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

std::string UnixFileName(const std::string& path)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    UnixName unixName = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    if (unixName == NULL)
        return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = unixName(wide);
    std::string result = name != NULL ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// In single quotes: a quote inside ends them, is escaped, and starts them again.
std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool RunHostShell(const std::string& command, std::string* output)
{
    // Wine starts a Unix program named by a \\?\unix\ path but gives no handle
    // that waits for it: the command's output appears under its final name
    // only once the command has ended.
    static int runs = 0;
    std::string done = "C:\\host-shell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    std::string doneUnix = UnixFileName(done);
    if (doneUnix.empty())
        return false;
    std::string script = "(" + command + ") >" + ShellQuoted(doneUnix + ".part") + " 2>&1; mv " +
                         ShellQuoted(doneUnix + ".part") + " " + ShellQuoted(doneUnix);
    std::string line = "\\\\?\\unix\\bin\\sh -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    for (int i = 0; i < 500 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    FILE* file = fopen(done.c_str(), "rb");
    if (file == NULL)
        return false;
    char buffer[4096];
    size_t read = fread(buffer, 1, sizeof buffer, file);
    fclose(file);
    DeleteFileA(done.c_str());
    if (output != nullptr)
        output->assign(buffer, read);
    return true;
}

int UnixMode(const std::string& path)
{
    std::string name = UnixFileName(path), output;
    if (name.empty() || !RunHostShell("stat -c %a " + ShellQuoted(name), &output) || output.empty())
        return -1;
    char* end;
    long mode = strtol(output.c_str(), &end, 8);
    return *end == '\n' ? (int)mode : -1;
}

bool ChangeUnixMode(const std::string& path, const std::string& change)
{
    std::string name = UnixFileName(path), output;
    return !name.empty() && RunHostShell("chmod " + change + " " + ShellQuoted(name) + " && echo changed", &output) &&
           output == "changed\n";
}
