// The one-line status record "err:%d,flush:%d" in "Z:\info" and in the flash
// file "info": 8-bit text without a line end.
#pragma once

#include "StavixFiles.h"

// Writes "Z:\info" and puts it on flash in place of the flash file "info".
// False when "Z:\info" could not be written whole; flash is then left alone.
bool WriteStatusRecord(const char* text);

// The first line of "Z:\info", without its line end. False, with an empty
// text, when the file does not open or holds no text: no request can be
// read from it.
bool ReadStatusRecord(char text[STAVIX_LINE_SIZE]);

// True when the record asks the next restore to flush the write filter.
bool RecordAsksForFlush(const char* text);
