#include <windows.h>

#include <strsafe.h>

#include "FlashCommit.h"
#include "RegistryExport.h"
#include "ScopedHandle.h"
#include "ScopedRegKey.h"
#include "StatusRecord.h"
#include "StavixFiles.h"
#include "StavixModes.h"
#include "WriteFilterDevice.h"

namespace {

// -1 when the write filter is missing or inactive: a registry that nothing
// resets at a restart needs no carrying.
int SaveScript()
{
    WriteFilterDevice filter;
    ScopedHandle device(filter.OpenDevice(0));
    if (!device.IsValid())
        return -1;
    if (!filter.QueryStatus(device.Get()))
        return 0;
    if (!filter.FilterActive())
        return -1;
    if (!ExportRegistryKeys())
        return 0;
    return CopyFileToFlash(SCRIPT_PATH_W, SCRIPT_FLASH_NAME);
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

// A record that no restore has taken yet may hold a flush request that an
// earlier save took from "autoflush" and reset there; a second save before
// the restart (at logoff, then at shutdown) would otherwise drop it.
bool EarlierFlushRequest()
{
    char record[STAVIX_LINE_SIZE];
    return CopyFileFromFlash(RECORD_FLASH_NAME, RECORD_PATH_W) == FLASH_DONE &&
           ReadStatusRecord(record) && RecordAsksForFlush(record);
}

} // namespace

int RunSaveMode()
{
    bool earlierFlushRequest = EarlierFlushRequest();
    // An older script must never reach the next restore when this save
    // stores none.
    DeleteFlashFile(SCRIPT_FLASH_NAME);
    DeleteFlashFile(RECORD_FLASH_NAME);
    int saveResult = SaveScript();
    int flushRequest = TakeFlushRequest() | (earlierFlushRequest ? 1 : 0);
    char record[32];
    StringCchPrintfA(record, 32, "err:%d,flush:%d", saveResult, flushRequest);
    WriteStatusRecord(record);
    return 0;
}
