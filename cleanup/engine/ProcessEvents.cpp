#include "EventProcessing.h"

#include "EventSummary.h"
#include "FileActions.h"
#include "Preview.h"
#include "ProfileCleanup.h"
#include "config/Configuration.h"
#include "service/LogMessage.h"

// Logoff and shutdown arrive on threads of their own and can overlap. One
// event at a time keeps the list cursors, the rewrite of
// [SaveDynamicProfiles] and the profile deletions from running twice at once.
// It is made before any thread can process an event, and never deleted: a
// console-event thread may still be inside when the process ends.
class CEventLock
{
public:
    CEventLock() { InitializeCriticalSection(&m_section); }
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CEventLock(const CEventLock&) = delete;
    CEventLock& operator=(const CEventLock&) = delete;

    CRITICAL_SECTION m_section;
};

static CEventLock eventLock;

// The message source of each event is the name of its entry routine.
static const char* EventSource(DWORD nEvent)
{
    switch (nEvent) {
    case SVC_STARTUP:
        return "ProcessServiceStartup";
    case USER_LOGOFF:
        return "ProcessLogoffEvent";
    case USER_SHUTDOWN:
        return "ProcessShutdownEvent";
    default:
        return "ProcessEvents";
    }
}

void ProcessEvent(CleanupItem* pItem, DWORD nEvent)
{
    if ((pItem->GetTriggers() & nEvent) == 0)
        return;
    const char* pszPath = pItem->GetPath();
    switch (pItem->GetAction()) {
    case DIR_EMPTY:
        ReportLine("  Empty directory %s", pszPath);
        if (CanCleanDir(pszPath)) {
            LogMessage("ProcessEvent", "Deleting Directory Contents of: %s", pszPath);
            DeleteDirectoryContents(pszPath);
            ReportRemovals();
        }
        break;
    case DIR_DELETE:
        ReportLine("  Delete directory %s", pszPath);
        if (CanCleanDir(pszPath)) {
            LogMessage("ProcessEvent", "Deleting Directory and Contents of: %s", pszPath);
            DeleteDirectory(pszPath, true);
            ReportRemovals();
        }
        break;
    case FILE_DELETE:
        ReportLine("  Delete files %s", pszPath);
        LogMessage("ProcessEvent", "Deleting files matching: %s", pszPath);
        DeleteMatchingFiles(pszPath);
        ReportRemovals();
        break;
    case APP_EXECUTE:
        ReportLine("  Start %s", pszPath);
        LogMessage("ProcessEvent", "Executing applications matching: %s", pszPath);
        RunApplication(pszPath);
        break;
    default:
        break;
    }
}

// Every item of the list, in section order; pszMessage, when given, is
// written for each item whether or not it acts.
static void ProcessList(CQuilItemList& list, DWORD nEvent, const char* pszMessage)
{
    if (!list.MoveFirst())
        return;
    do {
        CleanupItem* pItem = list.GetItem();
        if (pszMessage != NULL)
            LogMessage("ProcessEvents", pszMessage, pItem->GetPath());
        ProcessEvent(pItem, nEvent);
    } while (list.MoveNext());
}

static void ProcessProfiles(DWORD nEvent)
{
    // The trigger text is parsed afresh at every event, on an item that
    // exists only for this.
    CleanupItem trigger;
    trigger.AddTriggers(profileActionTrigger);
    LogMessage("ProcessEvent", "Profile item event: %d; System event: %d", (int)trigger.GetTriggers(), (int)nEvent);
    if ((trigger.GetTriggers() & nEvent) == 0) {
        ReportLine("  Profiles: not at this event ([Profiles] ActionTrigger=%s)", profileActionTrigger);
        return;
    }
    // The trigger item has no name; the trigger text says why profiles run.
    LogMessage("ProcessEvent", "Processing profiles: %s", profileActionTrigger);
    ReportLine("  Profiles ([Profiles] ActionTrigger=%s)", profileActionTrigger);
    ProcessingProfile();
}

void ProcessEvents(DWORD nEvent)
{
    eventLock.Enter();
    const char* pszSource = EventSource(nEvent);
    LogMessage(pszSource, "Entering %s", pszSource);

    // The event's list of recent users is the one it leaves, whether or not
    // the file could be written (in a preview, it is not).
    StartEventTally();
    ForgetDynamicProfiles();
    ForgetRemovals();
    char szUser[MAX_PATH] = {};
    if (GetDefaultUserName(szUser)) {
        ReportLine("  Last user (DefaultUserName): %s", szUser);
        SaveDynamicProfileName(szUser, MAX_PATH);
    }

    ProcessList(directoryList, nEvent, NULL);
    ProcessList(fileList, nEvent, "Processing File: %s");
    ProcessList(applicationList, nEvent, "Processing App: %s");
    if (profileCleanupEnabled)
        ProcessProfiles(nEvent);
    else
        ReportLine("  Profiles: off ([Parameters] CleanProfiles)");
    ReportEventSummary(nEvent);

    ForgetDynamicProfiles();
    ForgetRemovals();
    LogMessage(pszSource, "Exiting %s", pszSource);
    eventLock.Leave();
}
