#include <windows.h>

#include "FlashCommit.h"
#include "RegistryImport.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "StatusRecord.h"
#include "StavixFiles.h"
#include "StavixModes.h"
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

void ImportStoredScript(bool storedByLastSave)
{
    if (CopyFileFromFlash(SCRIPT_FLASH_NAME, SCRIPT_PATH_W) != FLASH_DONE)
        return;
    DWORD exitCode;
    if (!storedByLastSave) {
        OutputDebugStringA("Stavix: the record says the last save stored no script; the older one on flash is not imported\n");
    } else if (!ScriptEndsWhole()) {
        OutputDebugStringA("Stavix: the script on flash was cut short; not imported\n");
    } else if (!RunRegistryImport(&exitCode)) {
        // A script that the registry editor never saw stays on flash for
        // the next restore.
        OutputDebugStringA("Stavix: the registry editor did not start; the script stays on flash\n");
        return;
    }
    DeleteFlashFile(SCRIPT_FLASH_NAME);
    DeleteFileW(SCRIPT_PATH_W);
}

void PublishRecord(const char* record)
{
    wchar_t text[STAVIX_LINE_SIZE];
    int length = MultiByteToWideChar(CP_ACP, 0, record, -1, text, STAVIX_LINE_SIZE);
    if (length == 0)
        return;
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, PENDRAX_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key.Get(), L"error", 0, REG_SZ, (const BYTE*)text, length * sizeof(wchar_t));
}

} // namespace

int RunRestoreMode()
{
    // The record comes first: a save that stored no script says so in it,
    // and a script on flash is then an older one that the save could not
    // delete. Only a record as a save writes it can say so; without one the
    // script is taken as stored.
    char record[STAVIX_LINE_SIZE];
    bool recordOnFlash = CopyFileFromFlash(RECORD_FLASH_NAME, RECORD_PATH_W) == FLASH_DONE;
    bool readable = recordOnFlash && ReadStatusRecord(record);
    bool saveSucceeded = true;
    if (recordOnFlash && !ReadSaveResult(record, &saveSucceeded))
        OutputDebugStringA("Stavix: the record on flash is not of the form err:N,flush:N; the script is taken as stored\n");
    ImportStoredScript(saveSucceeded);
    if (!recordOnFlash)
        return 0;
    DeleteFlashFile(RECORD_FLASH_NAME);
    DeleteFileW(RECORD_PATH_W);
    if (!readable)
        return 0;
    // Committing the cache commits the keys just imported with it.
    if (RecordAsksForFlush(record)) {
        WriteFilterDevice filter;
        filter.FlushOrExit(0);
    }
    PublishRecord(record);
    return 0;
}
