#include "UnixLink.h"

#include "HostShell.h"

// The Windows side cannot make a link itself (its CreateSymbolicLink does
// nothing here).
bool MakeUnixLink(const std::string& linkPath, const std::string& target)
{
    std::string unixLink = UnixFileName(linkPath), unixTarget = UnixFileName(target);
    return !unixLink.empty() && !unixTarget.empty() &&
           RunHostShell("ln -s " + ShellQuoted(unixTarget) + " " + ShellQuoted(unixLink)) &&
           GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeDriveLetter(char letter, const std::string& folder)
{
    // Wine names each drive through the prefix's dosdevices folder, where
    // drive C: is a link named "c:" beside the others.
    std::string drives = UnixFileName("C:\\");
    size_t at = drives.rfind("/c:");
    std::string unixFolder = UnixFileName(folder);
    if (at == std::string::npos || unixFolder.empty())
        return false;
    std::string unixDrive = drives.substr(0, at + 1) + (char)(letter | 0x20) + ":";
    std::string drive = std::string(1, letter) + ":\\";
    return RunHostShell("ln -s " + ShellQuoted(unixFolder) + " " + ShellQuoted(unixDrive)) &&
           GetFileAttributesA(drive.c_str()) != INVALID_FILE_ATTRIBUTES;
}
