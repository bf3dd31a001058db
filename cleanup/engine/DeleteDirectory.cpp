#include "FileActions.h"

#include <strsafe.h>

#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "FindHandle.h"
#include "Preview.h"

static bool EmptyDirectory(const char* pszPath, DWORD& nStaying);

// A directory entry that is a link must not be entered: the service runs as
// LocalSystem in folders that users can write to, and a link planted there
// would lead the cleanup into any folder of the machine. RemoveDirectoryA
// removes the link itself; its attributes are left alone, because setting
// them would reach through the link to its target.
static bool RemoveSubdirectory(const char* pszFullName, const WIN32_FIND_DATAA& entry, DWORD& nStaying)
{
    bool bLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    DWORD nInside = 0;
    if (!bLink) {
        if (!EmptyDirectory(pszFullName, nInside)) {
            ++nStaying;
            return true;    // protected or not empty: left in place, not a failure here
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            SetAttributesUnlessPreview(pszFullName, 0);
    }
    return RemoveDirectoryOrCount(pszFullName, nInside == 0, bLink);
}

static bool DeleteOneFile(const char* pszFullName, const WIN32_FIND_DATAA& entry)
{
    // A file link's own read-only flag cannot be told from its target's.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        SetAttributesUnlessPreview(pszFullName, 0);
    return DeleteFileOrCount(pszFullName);
}

// The descent below a directory named by its full, canonical path. nStaying
// counts the entries that stay in it, which a preview needs to know whether
// the directory's own removal would find it empty.
static bool EmptyDirectory(const char* pszPath, DWORD& nStaying)
{
    char szDirectory[MAX_PATH];
    if (FAILED(StringCchCopyA(szDirectory, MAX_PATH, pszPath)))
        return false;
    if (!EndsWithBackslash(szDirectory) && FAILED(StringCchCatA(szDirectory, MAX_PATH, "\\")))
        return false;
    if (dontDeleteDirs.Contains(szDirectory)) {
        ReportLine("    left: %s (protected by [DontDeleteDirs])", szDirectory);
        return false;
    }

    char szPattern[MAX_PATH];
    if (FAILED(StringCchPrintfA(szPattern, MAX_PATH, "%s*.*", szDirectory)))
        return false;

    bool bResult = true;
    WIN32_FIND_DATAA entry;
    CFindHandle find(szPattern, &entry);
    if (!find.IsOpen())
        return true;    // a missing directory has nothing to delete
    do {
        // Also spares every name that starts with a dot, such as .settings.
        if (entry.cFileName[0] == '.') {
            const char* pszName = entry.cFileName;
            bool bSelfOrParent = pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0');
            if (!bSelfOrParent) {
                ReportLine("    left: %s%s (name starts with a dot)", szDirectory, entry.cFileName);
                ++nStaying;
            }
            continue;
        }
        // "keep " or "keep." (a network client can make them) would be
        // deleted as "keep": another entry, perhaps a protected folder.
        if (EndsInDotOrBlank(entry.cFileName)) {
            ReportLine("    left: %s%s (name ends in a dot or blank)", szDirectory, entry.cFileName);
            ++nStaying;
            bResult = false;
            continue;
        }
        char szFullName[MAX_PATH];
        if (FAILED(StringCchPrintfA(szFullName, MAX_PATH, "%s%s", szDirectory, entry.cFileName))) {
            ReportLine("    left: %s%s (full name too long)", szDirectory, entry.cFileName);
            ++nStaying;
            bResult = false;    // a cut name would be another file
            continue;
        }
        bool bDeleted = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                            ? RemoveSubdirectory(szFullName, entry, nStaying)
                            : DeleteOneFile(szFullName, entry);
        if (!bDeleted) {
            ++nStaying;
            bResult = false;
        }
    } while (find.Next(&entry));
    return bResult;
}

// The action works on the very path that CanCleanDir judged, never on
// another spelling of it, and [DontDeleteDirs] is matched against that form.
bool DeleteDirectoryContents(const char* pszPath)
{
    char szFull[MAX_PATH];
    DWORD nStaying = 0;
    return CanonicalDirectory(pszPath, szFull) && EmptyDirectory(szFull, nStaying);
}

bool DeleteDirectory(const char* pszPath, bool bCheck)
{
    char szFull[MAX_PATH];
    if (!CanonicalDirectory(pszPath, szFull) || (bCheck && !CanCleanDir(szFull)))
        return false;
    DWORD nStaying = 0;
    if (!EmptyDirectory(szFull, nStaying))
        return false;

    WIN32_FIND_DATAA entry;
    CFindHandle find(szFull, &entry);
    // A path ending in a backslash names no entry: its contents went, it stays.
    if (!find.IsOpen())
        return true;
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        SetAttributesUnlessPreview(szFull, FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryOrCount(szFull, nStaying == 0, false);
}
