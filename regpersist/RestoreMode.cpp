#include <windows.h>

#include "FlashCommit.h"
#include "ProgramEventLog.h"
#include "RegistryImport.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "StatusRecord.h"
#include "StavixFiles.h"
#include "StavixModes.h"
#include "StavixRuns.h"
#include "WriteFilterDevice.h"

namespace {

// Every script a save writes is empty or ends in an empty line. One that
// ends otherwise was cut off while it was stored, and its last line may
// stand for a value with other data; cut behind an empty line, only whole
// lines are left.
bool ScriptEndsWhole()
{
    ScopedHandle script(CreateFileW(SCRIPT_PATH_W, GENERIC_READ, FILE_SHARE_READ, NULL,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!script.IsValid())
        return false;
    DWORD size = GetFileSize(script.Get(), NULL);
    if (size == 0)
        return true;
    char end[4];
    DWORD read;
    return size != INVALID_FILE_SIZE && size >= sizeof(end) &&
           SetFilePointer(script.Get(), -(LONG)sizeof(end), NULL, FILE_END) !=
               INVALID_SET_FILE_POINTER &&
           ReadFile(script.Get(), end, sizeof(end), &read, NULL) && read == sizeof(end) &&
           memcmp(end, "\r\n\r\n", sizeof(end)) == 0;
}

long FetchedScriptBytes()
{
    ScopedHandle script(CreateFileW(SCRIPT_PATH_W, GENERIC_READ, FILE_SHARE_READ, NULL,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    return script.IsValid() ? (long)GetFileSize(script.Get(), NULL) : -1;
}

ScriptOutcome ImportStoredScript(bool storedByLastSave, RestoreRun* run)
{
    run->fetchResult = CopyFileFromFlash(SCRIPT_FLASH_NAME, SCRIPT_PATH_W);
    // The device's answer to an open of a file that is not there is a
    // failed call, as any other failure of the device.
    if (run->fetchResult == FLASH_DEVICE_FAILED)
        return SCRIPT_NONE;
    if (run->fetchResult != FLASH_DONE)
        return SCRIPT_NOT_FETCHED;
    run->scriptBytes = FetchedScriptBytes();
    DWORD exitCode;
    ScriptOutcome outcome = SCRIPT_IMPORTED;
    if (!storedByLastSave) {
        OutputDebugStringA("Stavix: the record says the last save stored no script; the older one on flash is not imported\n");
        outcome = SCRIPT_DISOWNED;
    } else if (!ScriptEndsWhole()) {
        OutputDebugStringA("Stavix: the script on flash was cut short; not imported\n");
        outcome = SCRIPT_CUT_SHORT;
    } else if (!RunRegistryImport(&exitCode)) {
        // A script that the registry editor never saw stays on flash for
        // the next restore.
        OutputDebugStringA("Stavix: the registry editor did not start; the script stays on flash\n");
        return SCRIPT_EDITOR_NOT_STARTED;
    }
    DeleteFlashFile(SCRIPT_FLASH_NAME);
    DeleteFileW(SCRIPT_PATH_W);
    return outcome;
}

RecordOutcome PublishRecord(const char* record)
{
    wchar_t text[STAVIX_LINE_SIZE];
    int length = MultiByteToWideChar(CP_ACP, 0, record, -1, text, STAVIX_LINE_SIZE);
    if (length == 0)
        return RECORD_NOT_PUBLISHED;
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, PENDRAX_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return RECORD_NOT_PUBLISHED;
    return RegSetValueExW(key.Get(), L"error", 0, REG_SZ, (const BYTE*)text,
                          length * sizeof(wchar_t)) == ERROR_SUCCESS
               ? RECORD_PUBLISHED
               : RECORD_NOT_PUBLISHED;
}

// The record's part of the run, once the script is dealt with.
RecordOutcome TakeRecord(bool readable, RestoreRun* run)
{
    DeleteFlashFile(RECORD_FLASH_NAME);
    DeleteFileW(RECORD_PATH_W);
    if (!readable)
        return RECORD_EMPTY;
    // Committing the cache commits the keys just imported with it.
    run->flushAsked = RecordAsksForFlush(run->record);
    if (run->flushAsked) {
        run->flush = WriteFilterDevice().Flush(0);
        run->exitStatus = WriteFilterDevice::ExitStatusOf(run->flush);
        if (run->flush != WriteFilterDevice::FLUSH_DONE)
            return RECORD_HELD_BACK;
    }
    return PublishRecord(run->record);
}

} // namespace

int RunRestoreMode()
{
    // Before a flush the record may ask for, so that the flush carries the
    // registration into the image with the imported keys.
    RegisterProgramEventSource(kStavixEventSource);
    RestoreRun run = {};
    // The record comes first: a save that stored no script says so in it,
    // and a script on flash is then an older one that the save could not
    // delete. Only a record as a save writes it can say so; without one the
    // script is taken as stored.
    bool recordOnFlash = CopyFileFromFlash(RECORD_FLASH_NAME, RECORD_PATH_W) == FLASH_DONE;
    bool readable = recordOnFlash && ReadStatusRecord(run.record);
    run.saveSucceeded = true;
    run.recordWellFormed = !recordOnFlash || ReadSaveResult(run.record, &run.saveSucceeded);
    if (!run.recordWellFormed)
        OutputDebugStringA("Stavix: the record on flash is not of the form err:N,flush:N; the script is taken as stored\n");
    run.script = ImportStoredScript(run.saveSucceeded, &run);
    run.published = recordOnFlash ? TakeRecord(readable, &run) : RECORD_NONE;
    ReportRestoreEntry(run);
    return run.exitStatus;
}
