#include <windows.h>

#include <strsafe.h>

#include "FlashCommit.h"
#include "OtherWriter.h"
#include "ProgramEventLog.h"
#include "RegistryExport.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "StatusRecord.h"
#include "StavixFiles.h"
#include "StavixModes.h"
#include "StavixRuns.h"
#include "WriteFilterDevice.h"

namespace {

// How far the save got, and its result for the record: -1 when the write
// filter is missing or inactive, as a registry that nothing resets at a
// restart needs no carrying.
SaveOutcome SaveScript(ExportCounts* exported, int* saveResult)
{
    *saveResult = 0;
    WriteFilterDevice filter;
    ScopedHandle device(filter.OpenDevice(0));
    if (!device.IsValid()) {
        *saveResult = -1;
        return SAVE_NO_FILTER;
    }
    if (!filter.QueryStatus(device.Get()))
        return SAVE_FILTER_UNREAD;
    if (!filter.FilterActive()) {
        *saveResult = -1;
        return SAVE_FILTER_INACTIVE;
    }
    switch (ExportRegistryKeys(exported)) {
    case EXPORT_DONE:
        *saveResult = CopyFileToFlash(SCRIPT_PATH_W, SCRIPT_FLASH_NAME);
        return *saveResult == FLASH_DONE ? SAVE_STORED : SAVE_NOT_ON_FLASH;
    case EXPORT_SCRIPT_CUT:
        // Never 0: the record would say that the script was stored.
        *saveResult = FLASH_LOCAL_FILE_FAILED;
        return SAVE_SCRIPT_CUT;
    case EXPORT_NO_KEY_LIST:
        return SAVE_NO_KEY_LIST;
    default:
        return SAVE_NO_SCRIPT_FILE;
    }
}

// Reads the flush request that an administrator left in "autoflush", of
// whatever type, and resets it; clears "error" for the next restore.
int TakeFlushRequest()
{
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, PENDRAX_KEY, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0, size = sizeof(value);
    bool requested = RegQueryValueExW(key.Get(), L"autoflush", NULL, NULL, (BYTE*)&value, &size) ==
                         ERROR_SUCCESS &&
                     (value & 0xFFFF) == 1;
    DWORD zero = 0;
    RegSetValueExW(key.Get(), L"autoflush", 0, REG_DWORD, (const BYTE*)&zero, sizeof(zero));
    RegSetValueExW(key.Get(), L"error", 0, REG_SZ, (const BYTE*)L"", sizeof(wchar_t));
    return requested ? 1 : 0;
}

// The record of an earlier save that no restore has taken yet may hold a
// flush request that the save took from "autoflush" and reset there; a
// second save before the restart (at logoff, then at shutdown) would
// otherwise drop it. A restore deletes "Z:\info" with the flash file, so
// the copy on Z: tells as much as the one on flash, and reading it leaves
// the flash file alone: a flash open answered with a short count stays open
// in the flash driver, which then refuses to delete or replace the file, and
// the old record would stand for this save.
bool EarlierFlushRequest()
{
    char record[STAVIX_LINE_SIZE];
    return ReadStatusRecord(record) && RecordAsksForFlush(record);
}

// A key list that others may change lets them choose the keys whose values
// go onto flash and come back at every restore.
void CheckKeyListWriters(SaveRun* run)
{
    COtherWriterCheck check;
    run->keyListWriters = check.Check(KEY_LIST_PATH);
    if (run->keyListWriters == WRITERS_UNKNOWN)
        run->keyListError = GetLastError();
    else if (run->keyListWriters == WRITER_OTHER)
        AccountName(check.Writer(), run->keyListWriter, ARRAYSIZE(run->keyListWriter));
}

void ReportSaveRun(const SaveRun& run)
{
    if (run.stored == RECORD_NOT_WRITTEN)
        OutputDebugStringA("Stavix: Z:\\info could not be written whole; no record is stored\n");
    else if (run.stored == RECORD_NOT_ON_FLASH)
        OutputDebugStringA("Stavix: the record could not be stored on flash; an older one may stand there\n");
    char line[200];
    StringCchPrintfA(line, ARRAYSIZE(line),
                     "Stavix: saved %lu keys from %lu key lines (%lu passed over), script %ld bytes; "
                     "record %s %s\n",
                     run.exported.keysSaved, run.exported.keyLines, run.exported.linesPassedOver,
                     run.exported.scriptBytes, run.record,
                     run.stored == RECORD_STORED ? "stored" : "not stored");
    OutputDebugStringA(line);
    ReportSaveEntry(run);
}

} // namespace

int RunSaveMode()
{
    RegisterProgramEventSource(kStavixEventSource);
    SaveRun run = {};
    bool earlierFlushRequest = EarlierFlushRequest();
    // An older script must never reach the next restore when this save
    // stores none.
    DeleteFlashFile(SCRIPT_FLASH_NAME);
    DeleteFlashFile(RECORD_FLASH_NAME);
    CheckKeyListWriters(&run);
    run.outcome = SaveScript(&run.exported, &run.saveResult);
    run.flushRequest = TakeFlushRequest() | (earlierFlushRequest ? 1 : 0);
    StringCchPrintfA(run.record, ARRAYSIZE(run.record), "err:%d,flush:%d", run.saveResult,
                     run.flushRequest);
    run.stored = WriteStatusRecord(run.record);
    // A save whose record did not reach flash does not end as one that
    // stored it: whatever record stands there, an older one or none, does
    // not tell of this save.
    run.exitStatus = run.stored == RECORD_STORED ? 0 : 1;
    ReportSaveRun(run);
    return run.exitStatus;
}
