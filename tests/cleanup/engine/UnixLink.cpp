#include "UnixLink.h"

// Wine starts a Unix program named by a \\?\unix\ path; the Windows side
// cannot make a link itself (its CreateSymbolicLink does nothing here).
bool MakeUnixLink(const std::string& linkPath, const std::string& target)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    UnixName unixName = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    if (unixName == NULL)
        return false;
    auto toUnix = [unixName](const std::string& path) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char* name = unixName(wide);
        std::string result = name != NULL ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    };
    std::string command = "\\\\?\\unix\\bin\\ln -s " + toUnix(target) + " " + toUnix(linkPath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::string buffer = command;
    if (!CreateProcessA(NULL, &buffer[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    // The started Unix program gives no handle to wait on: look for its work.
    for (int i = 0; i < 250 && GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    return GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}
