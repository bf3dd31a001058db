// What one run of Stavix did, gathered in one place for whatever reports it:
// the debugger output and the run's event log entry.
#pragma once

#include "OtherWriter.h"
#include "RegistryExport.h"
#include "StatusRecord.h"
#include "StavixFiles.h"
#include "WriteFilterDevice.h"

// How far a save got with its script.
enum SaveOutcome
{
    SAVE_STORED,          // the script is on flash
    SAVE_NO_FILTER,       // no write filter device: nothing exported
    SAVE_FILTER_INACTIVE, // nothing exported
    SAVE_FILTER_UNREAD,   // the filter's state could not be read: nothing exported
    SAVE_NO_KEY_LIST,     // the key list does not open
    SAVE_NO_SCRIPT_FILE,  // Z:\stavix.reg could not be created
    SAVE_SCRIPT_CUT,      // Z:\stavix.reg could not be written whole
    SAVE_NOT_ON_FLASH     // exported, but the copy to flash failed
};

struct SaveRun
{
    // Who besides Administrators, SYSTEM and its owner may change the key
    // list; the account after WRITER_OTHER, the error after WRITERS_UNKNOWN.
    WriterCheck keyListWriters;
    char keyListWriter[128];
    DWORD keyListError;
    SaveOutcome outcome;
    ExportCounts exported;
    int saveResult;
    int flushRequest;
    char record[32];
    RecordStore stored;
    int exitStatus;
};

// What a restore did with the script on flash.
enum ScriptOutcome
{
    SCRIPT_IMPORTED,
    SCRIPT_NONE,               // none came from flash: none there, or the device failed
    SCRIPT_NOT_FETCHED,        // there, but not fetched whole: it stays on flash
    SCRIPT_DISOWNED,           // the record says the last save stored none
    SCRIPT_CUT_SHORT,
    SCRIPT_EDITOR_NOT_STARTED  // it stays on flash
};

// What a restore did with the record on flash.
enum RecordOutcome
{
    RECORD_NONE,          // no record on flash
    RECORD_EMPTY,         // no text in it: "error" keeps its value
    RECORD_PUBLISHED,     // in "error"
    RECORD_NOT_PUBLISHED, // the panel's key does not open or take it
    RECORD_HELD_BACK      // the flush it asked for failed
};

struct RestoreRun
{
    ScriptOutcome script;
    int fetchResult;  // of the copy from flash, for SCRIPT_NOT_FETCHED
    long scriptBytes; // as fetched
    char record[STAVIX_LINE_SIZE];
    bool recordWellFormed;
    bool saveSucceeded; // as the record says, or true without one
    RecordOutcome published;
    bool flushAsked;
    WriteFilterDevice::FlushResult flush;
    int exitStatus;
};

// The event source of every entry, registered at each run.
extern const wchar_t kStavixEventSource[];

// The run's one entry in the Application log: information, or a warning
// when the run stored, imported or flushed less than it was there for.
void ReportSaveEntry(const SaveRun& run);
void ReportRestoreEntry(const RestoreRun& run);
