#include "CommandLine.h"
#include "FileProtection.h"

#include "config/Configuration.h"
#include "engine/EventProcessing.h"
#include "engine/Preview.h"
#include "writefilter/ScopedHandle.h"

namespace {

struct PreviewedEvent
{
    DWORD nEvent;
    const char* pszHeading;
};

// The service's events in the order a terminal meets them.
const PreviewedEvent previewedEvents[] = {
    { SVC_STARTUP, "At service start-up:" },
    { USER_LOGOFF, "At logoff:" },
    { USER_SHUTDOWN, "At shutdown:" }
};

// The loader cannot tell a missing or locked file from an empty one, so the
// file is opened as the loader's section reads open it.
bool ConfigurationReadable()
{
    if (iniPath[0] == '\0')
        return false;
    ScopedHandle file(CreateFileA(iniPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                  0, NULL));
    return file.IsValid();
}

} // namespace

int RunPreview()
{
    previewOnly = true;
    LoadConfiguration();
    bool bRead = ConfigurationReadable();
    ReportLine("Fenwash preview of %s: nothing is deleted, started or written.", iniPath);
    // The service would still run on the start values: that is shown too.
    if (!bRead)
        ReportLine("The configuration could not be read; the service would run on its start values.");
    WarnIfServiceFilesOpen();
    for (const PreviewedEvent& event : previewedEvents) {
        ReportLine("");
        ReportLine("%s", event.pszHeading);
        ProcessEvents(event.nEvent);
    }
    return bRead ? 0 : 1;
}
