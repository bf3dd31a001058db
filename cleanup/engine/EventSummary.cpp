#include "EventSummary.h"

#include <strsafe.h>

#include "EventTally.h"
#include "Preview.h"
#include "config/CleanupItem.h"
#include "config/Configuration.h"
#include "service/LogMessage.h"

// The source the service's own entries have; its message file is this
// program (-RegServer).
static const char SUMMARY_SOURCE[] = "Fenwash";

DWORD EventSummaryId(DWORD nEvent)
{
    switch (nEvent) {
    case SVC_STARTUP:
        return 1;
    case USER_LOGOFF:
        return 2;
    case USER_SHUTDOWN:
        return 3;
    default:
        return 0;
    }
}

static const char* EventName(DWORD nEvent)
{
    switch (nEvent) {
    case SVC_STARTUP:
        return "service start-up";
    case USER_LOGOFF:
        return "logoff";
    case USER_SHUTDOWN:
        return "shutdown";
    default:
        return "event";
    }
}

struct Figure
{
    Outcome outcome;
    const char* pszLabel;
};

static const Figure LEFT_FIGURES[] = {
    { LEFT_PROTECTED, "protected folders" }, { LEFT_DOT_NAME, "names starting with a dot" },
    { LEFT_LINK, "links not entered" }, { LEFT_FOLDER_MATCHED, "folders matched by a file pattern" },
    { LEFT_NOT_EMPTY, "folders not empty" }
};
static const Figure REFUSED_FIGURES[] = {
    { REFUSED_SYSTEM_FOLDER, "system folders" }, { REFUSED_PATH, "paths" }, { PROGRAM_REFUSED, "programs" }
};
static const Figure FAILED_FIGURES[] = {
    { FAILED_REMOVAL, "removals" }, { FAILED_CHECK, "folders not listed or checked" },
    { FAILED_SAVE_USERS, "[SaveDynamicProfiles] writes" }, { PROGRAM_FAILED, "programs" },
    { PROFILE_FAILED, "profiles" }
};

static const DWORD LEFT_COUNT = sizeof LEFT_FIGURES / sizeof(Figure);
static const DWORD REFUSED_COUNT = sizeof REFUSED_FIGURES / sizeof(Figure);
static const DWORD FAILED_COUNT = sizeof FAILED_FIGURES / sizeof(Figure);

static bool AnyCounted(const Figure* pFigures, DWORD nFigures, const DWORD* pCounts)
{
    for (DWORD i = 0; i < nFigures; ++i) {
        if (pCounts[pFigures[i].outcome] != 0)
            return true;
    }
    return false;
}

// One line of the figures that are not 0, none when all are.
static void AppendFigures(char*& pEnd, size_t& nRemaining, const char* pszHeading, const Figure* pFigures,
                          DWORD nFigures, const DWORD* pCounts)
{
    const char* pszBefore = pszHeading;
    for (DWORD i = 0; i < nFigures; ++i) {
        DWORD nCount = pCounts[pFigures[i].outcome];
        if (nCount == 0)
            continue;
        StringCchPrintfExA(pEnd, nRemaining, &pEnd, &nRemaining, 0, "%s%s %lu", pszBefore, pFigures[i].pszLabel, nCount);
        pszBefore = ", ";
    }
    if (pszBefore != pszHeading)
        StringCchCopyExA(pEnd, nRemaining, ".", &pEnd, &nRemaining, 0);
}

// What was removed, the programs and the profiles always; what was left,
// refused or failed only where something was, so that the usual entry stays
// short (a figure not named is 0). Every figure has a fixed label for a
// script to find. The buffer holds every figure at 10 digits; a longer text
// would be cut, never overrun.
static void SummaryText(DWORD nEvent, const EventTally& tally, char (&szText)[1024])
{
    const DWORD* pCounts = tally.nCounts;
    char* pEnd = szText;
    size_t nRemaining = sizeof szText;
    StringCchPrintfExA(pEnd, nRemaining, &pEnd, &nRemaining, 0,
                       "Cleanup at %s: %lu ms.\r\nRemoved: files %lu, folders %lu, links %lu.", EventName(nEvent),
                       GetTickCount() - tally.nStartTick, pCounts[REMOVED_FILE], pCounts[REMOVED_FOLDER],
                       pCounts[REMOVED_LINK]);
    AppendFigures(pEnd, nRemaining, "\r\nLeft: ", LEFT_FIGURES, LEFT_COUNT, pCounts);
    AppendFigures(pEnd, nRemaining, "\r\nRefused: ", REFUSED_FIGURES, REFUSED_COUNT, pCounts);
    AppendFigures(pEnd, nRemaining, "\r\nFailed: ", FAILED_FIGURES, FAILED_COUNT, pCounts);
    StringCchPrintfExA(pEnd, nRemaining, &pEnd, &nRemaining, 0,
                       "\r\nPrograms started: %lu.\r\nProfiles: deleted %lu, kept %lu.", pCounts[PROGRAM_STARTED],
                       pCounts[PROFILE_DELETED], pCounts[PROFILE_KEPT]);
}

void ReportEventSummary(DWORD nEvent)
{
    if (!eventSummaryEnabled) {
        ReportLine("  Event log entry: none ([Parameters] EventSummary=0)");
        return;
    }
    const EventTally& tally = CurrentEventTally();
    // Anything refused or failed makes the entry a warning.
    bool bTrouble = AnyCounted(REFUSED_FIGURES, REFUSED_COUNT, tally.nCounts) ||
                    AnyCounted(FAILED_FIGURES, FAILED_COUNT, tally.nCounts);
    WORD nType = bTrouble ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE;
    char szText[1024];
    SummaryText(nEvent, tally, szText);
    if (!previewOnly) {
        ReportEntry(nType, EventSummaryId(nEvent), SUMMARY_SOURCE, szText);
        return;
    }
    ReportLine("  Event log entry (%s, source %s, id %lu):", nType == EVENTLOG_WARNING_TYPE ? "warning" : "information",
               SUMMARY_SOURCE, EventSummaryId(nEvent));
    // One report line per line of the text, indented as the event's lines are.
    for (const char* pLine = szText; *pLine != '\0';) {
        const char* pEnd = pLine;
        while (*pEnd != '\0' && *pEnd != '\r')
            ++pEnd;
        ReportLine("    %.*s", (int)(pEnd - pLine), pLine);
        pLine = *pEnd == '\0' ? pEnd : pEnd + 2;
    }
}
