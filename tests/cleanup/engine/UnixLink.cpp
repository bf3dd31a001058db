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
