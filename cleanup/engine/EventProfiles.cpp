#include "ProfileCleanup.h"

#include <string.h>
#include <strsafe.h>

#include "config/ProcessHeap.h"
#include "Preview.h"

namespace {

char* keptLines = NULL;
DWORD keptLineCount = 0;
char rememberedName[MAX_PATH];

} // namespace

bool KeepDynamicProfiles(const char* pLines, size_t nLength, const char* pszRemembered)
{
    ForgetDynamicProfiles();
    keptLines = (char*)AllocZeroed(nLength + 1, 1);
    if (keptLines == NULL)
        return false;
    memcpy(keptLines, pLines, nLength);
    StringCchCopyA(rememberedName, MAX_PATH, pszRemembered != NULL ? pszRemembered : "");
    ReportLine("  [SaveDynamicProfiles] after this event:");
    for (const char* pLine = keptLines; *pLine != '\0'; pLine += strlen(pLine) + 1) {
        ReportLine("    %s", pLine);
        ++keptLineCount;
    }
    if (keptLineCount == 0)
        ReportLine("    (no names)");
    return true;
}

const char* KeptDynamicProfiles(DWORD* pnLines, const char** ppszRemembered)
{
    *pnLines = keptLineCount;
    *ppszRemembered = rememberedName;
    return keptLines;
}

void ForgetDynamicProfiles()
{
    FreeBlock(keptLines);
    keptLines = NULL;
    keptLineCount = 0;
    rememberedName[0] = '\0';
}
