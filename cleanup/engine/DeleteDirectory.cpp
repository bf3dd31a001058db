#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "DirectoryIdentity.h"
#include "FindHandle.h"
#include "PathEntry.h"
#include "Preview.h"
#include "service/LogMessage.h"

static bool EmptyDirectory(const char* pszPath, DWORD& nStaying);

// A [DontDeleteDirs] folder is known by what it is, not by how either side
// spells it: the short 8.3 name of a folder above it, another drive letter
// for the same folder or a link on the way all reach it under another name.
// The values as written are compared first, which needs no open; a folder
// that cannot be opened to learn what it is might be a protected one.
static bool IsProtected(const char* pszDirectory)
{
    bool bProtected = dontDeleteDirs.Contains(pszDirectory);
    DirectoryIdentity candidate = {};
    if (!bProtected && dontDeleteDirs.GetCount() > 0 && !GetIdentity(pszDirectory, &candidate)) {
        if (IsNotFound(GetLastError()))
            return false;   // a missing one has nothing to keep
        ReportOutcome(FAILED_CHECK, "    left: %s (could not be opened to compare it with [DontDeleteDirs])", pszDirectory);
        return true;
    }
    for (const char* pszKept = dontDeleteDirs.GetFirst(); !bProtected && pszKept != NULL; pszKept = dontDeleteDirs.GetNext()) {
        DirectoryIdentity kept;
        bProtected = GetIdentity(pszKept, &kept) && SameIdentity(kept, candidate);
    }
    if (bProtected)
        ReportOutcome(LEFT_PROTECTED, "    left: %s (protected by [DontDeleteDirs])", pszDirectory);
    return bProtected;
}

// A folder, met inside another or named by an item, whose attributes are
// nAttributes. A link must not be entered: the service runs as LocalSystem in
// folders that users can write to, and a link planted there would lead the
// cleanup into any folder of the machine. RemoveDirectoryA removes the link
// itself; its attributes are left alone, because setting them would reach
// through the link to its target.
static bool RemoveSubdirectory(const char* pszFullName, DWORD nAttributes, DWORD& nStaying)
{
    bool bLink = IsLink(nAttributes);
    DWORD nInside = 0;
    if (!bLink) {
        bool bEmptied = EmptyDirectory(pszFullName, nInside);
        // Protected or not listed: left in place and told where it was
        // found, not a failure here. A folder that something below it stayed
        // in goes on to its removal, which tells and counts it as not empty
        // at every level, as the preview and the event's entry say.
        if (!bEmptied && nInside == 0) {
            ++nStaying;
            return true;
        }
        if (bEmptied && (nAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
            SetAttributesUnlessPreview(pszFullName, FILE_ATTRIBUTE_NORMAL);
    }
    return RemoveDirectoryOrCount(pszFullName, nInside == 0, bLink);
}

static bool DeleteOneFile(const char* pszFullName, const WIN32_FIND_DATAA& entry)
{
    // A file link's own read-only flag cannot be told from its target's.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && !IsLink(entry.dwFileAttributes))
        SetAttributesUnlessPreview(pszFullName, 0);
    return DeleteFileOrCount(pszFullName);
}

// The descent below a directory named by its full, canonical path (or its
// "\\?\" form). nStaying counts the entries that stay in it, which a preview
// needs to know whether the directory's own removal would find it empty.
static bool EmptyDirectory(const char* pszPath, DWORD& nStaying)
{
    char szDirectory[MAX_PATH];
    if (FAILED(StringCchCopyA(szDirectory, MAX_PATH, pszPath)))
        return false;
    if (!EndsWithBackslash(szDirectory) && FAILED(StringCchCatA(szDirectory, MAX_PATH, "\\")))
        return false;
    if (IsProtected(szDirectory))
        return false;

    char szPattern[MAX_PATH];
    if (FAILED(StringCchPrintfA(szPattern, MAX_PATH, "%s*", szDirectory)))
        return false;

    bool bResult = true;
    WIN32_FIND_DATAA entry;
    CFindHandle find(szPattern, &entry);
    if (!find.IsOpen()) {
        if (find.FoundNothing())
            return true;    // a missing directory has nothing to delete
        ReportOutcome(FAILED_CHECK, "    left: %s (could not be listed)", szDirectory);
        return false;
    }
    do {
        // Also spares every name that starts with a dot, such as .settings.
        if (entry.cFileName[0] == '.') {
            if (!IsSelfOrParent(entry.cFileName)) {
                ReportOutcome(LEFT_DOT_NAME, "    left: %s%s (name starts with a dot)", szDirectory, entry.cFileName);
                ++nStaying;
            }
            continue;
        }
        char szFullName[MAX_PATH];
        if (!EntryFullName(szDirectory, entry.cFileName, szFullName)) {
            ReportOutcome(REFUSED_PATH, "    left: %s%s (full name too long)", szDirectory, entry.cFileName);
            ++nStaying;
            bResult = false;    // a cut name would be another file
            continue;
        }
        bool bDeleted = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                            ? RemoveSubdirectory(szFullName, entry.dwFileAttributes, nStaying)
                            : DeleteOneFile(szFullName, entry);
        if (!bDeleted) {
            ++nStaying;
            bResult = false;
        }
    } while (find.Next(&entry));
    return bResult;
}

// A link at the item's own path is treated as one met inside a folder: never
// entered. Emptying leaves it.
static bool LeaveLink(const char* pszFull)
{
    LogMessage("DeleteDirectoryContents", "Leaving link, not entered: %s", pszFull);
    ReportOutcome(LEFT_LINK, "    left: %s (a link: not entered)", pszFull);
    return false;
}

// The action works on the very path that CanCleanDir judged, never on
// another spelling of it.
bool DeleteDirectoryContents(const char* pszPath)
{
    char szFull[MAX_PATH];
    if (!CanonicalDirectory(pszPath, szFull))
        return false;
    if (IsLink(EntryAttributes(szFull)))
        return LeaveLink(szFull);
    DWORD nStaying = 0;
    return EmptyDirectory(szFull, nStaying);
}

bool DeleteDirectory(const char* pszPath, bool bCheck)
{
    char szFull[MAX_PATH];
    if (!CanonicalDirectory(pszPath, szFull) || (bCheck && !CanCleanDir(szFull)))
        return false;
    DWORD nAttributes = EntryAttributes(szFull);
    if (nAttributes == INVALID_FILE_ATTRIBUTES)
        return IsNotFound(GetLastError());     // a missing directory has nothing to delete
    DWORD nStaying = 0;
    // A path ending in a backslash names the contents: they go, it stays.
    if (EndsWithBackslash(szFull))
        return IsLink(nAttributes) ? LeaveLink(szFull) : EmptyDirectory(szFull, nStaying);
    if ((nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ReportOutcome(REFUSED_PATH, "    left: %s (not a folder)", szFull);
        return false;
    }
    if (IsLink(nAttributes))
        LogMessage("DeleteDirectory", "Removing the link itself, not its target: %s", szFull);
    return RemoveSubdirectory(szFull, nAttributes, nStaying) && nStaying == 0;
}
