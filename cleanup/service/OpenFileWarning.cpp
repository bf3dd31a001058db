#include "FileProtection.h"
#include "LogMessage.h"
#include "ServiceRuntime.h"

#include <strsafe.h>

#include "engine/Preview.h"
#include "filesecurity/OtherWriter.h"

void WarnIfServiceFilesOpen()
{
    char paths[SERVICE_FILE_COUNT][MAX_PATH];
    // Without its path the configuration is not read either, and says so.
    if (!FindServiceFiles(paths))
        return;
    COtherWriterCheck check;
    for (int nFile = SERVICE_FOLDER; nFile < SERVICE_FILE_COUNT; ++nFile) {
        char szWho[MAX_PATH];
        WriterCheck nResult = check.Check(paths[nFile]);
        if (nResult == WRITERS_TRUSTED)
            continue;
        if (nResult == WRITER_OTHER)
            AccountName(check.Writer(), szWho, MAX_PATH);
        else if (nResult == WRITERS_ANYONE)
            StringCchCopyA(szWho, MAX_PATH, "anyone (its volume keeps no permissions)");
        else
            StringCchPrintfA(szWho, MAX_PATH, "anyone, as far as it knows (error %lu)", GetLastError());
        const char* pszFormat = "%s can be changed by %s, and the service runs it as LocalSystem: run "
                                "Fenwash -RegServer again or restrict it.";
        if (previewOnly)
            ReportLine(pszFormat, paths[nFile], szWho);
        else
            LogWarning(serviceName, pszFormat, paths[nFile], szWho);
    }
}
