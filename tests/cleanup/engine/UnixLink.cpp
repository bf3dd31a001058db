#include "UnixLink.h"

// The Unix name of a Windows path, from Wine's own call.
static std::string UnixPath(const std::string& path)
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

// Wine starts a Unix program named by a \\?\unix\ path; the Windows side
// cannot make a link itself (its CreateSymbolicLink does nothing here).
static bool UnixSymlink(const std::string& unixTarget, const std::string& unixLink)
{
    if (unixTarget.empty() || unixLink.empty())
        return false;
    std::string command = "\\\\?\\unix\\bin\\ln -s " + unixTarget + " " + unixLink;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The started Unix program gives no handle to wait on: look for its work.
static bool WaitUntilThere(const std::string& path)
{
    for (int i = 0; i < 250 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeUnixLink(const std::string& linkPath, const std::string& target)
{
    return UnixSymlink(UnixPath(target), UnixPath(linkPath)) && WaitUntilThere(linkPath);
}

bool MakeDriveLetter(char letter, const std::string& folder)
{
    // Wine names drive C: through the prefix's dosdevices folder, where each
    // drive is a link named "x:".
    std::string drives = UnixPath("C:\\");
    size_t at = drives.rfind("/c:");
    if (at == std::string::npos)
        return false;
    std::string drive = std::string(1, letter) + ":\\";
    return UnixSymlink(UnixPath(folder), drives.substr(0, at + 1) + (char)(letter | 0x20) + ":") && WaitUntilThere(drive);
}
