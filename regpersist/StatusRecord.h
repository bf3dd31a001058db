// The one-line status record "err:%d,flush:%d" in "Z:\info" and in the flash
// file "info": 8-bit text without a line end.
#pragma once

#include "StavixFiles.h"

enum RecordStore
{
    RECORD_STORED,      // in "Z:\info" and on flash
    RECORD_NOT_WRITTEN, // "Z:\info" could not be written whole; flash is left alone
    RECORD_NOT_ON_FLASH // in "Z:\info", but the copy to flash failed
};

// Writes "Z:\info" and puts it on flash in place of the flash file "info".
RecordStore WriteStatusRecord(const char* text);

// The first line of "Z:\info", without its line end. False, with an empty
// text, when the file does not open or holds no text: no request can be
// read from it.
bool ReadStatusRecord(char text[STAVIX_LINE_SIZE]);

// True when the record asks the next restore to flush the write filter.
bool RecordAsksForFlush(const char* text);

// True when the record is exactly what a save writes, "err:N,flush:N" with
// signed decimal numbers; *succeeded is then set to whether N after "err:"
// is 0, and is left alone otherwise.
bool ReadSaveResult(const char* text, bool* succeeded);
