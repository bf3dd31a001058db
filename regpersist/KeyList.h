// The key list "C:\winnt\system32\stavix.ini": 8-bit text, read line by line.
#pragma once

#include <stdio.h>
#include <windows.h>

#include "HeapBuffer.h"

enum KeyListRead
{
    KEY_LIST_LINE,      // a whole line
    KEY_LIST_NO_MEMORY, // a line longer than the memory left for it, passed over
                        // whole; the buffer holds its beginning
    KEY_LIST_END        // the end of the list, or a read error
};

// The next line of the list, whatever its length, without its line end
// (LF, CR LF or a CR alone), as text in the buffer. A line is never taken
// as several: its tail could read as a key line.
KeyListRead ReadKeyListLine(FILE* keyList, HeapBuffer& line);

// A key line [ROOT\PATH], optionally followed by more text. Its texts point
// into the line it was taken from.
struct KeyLine
{
    const char* rootName; // as the key list spells it
    HKEY root;
    const char* path;
    size_t pathLength;
    // The line goes into the script up to here, then a line end: as read,
    // but ending right behind the key's "]" when more "]" follow (the
    // registry editor takes a key name up to the last one).
    size_t scriptLength;
};

enum KeyLineParse
{
    KEY_LINE_OK,
    KEY_LINE_ENDS_RUN,     // no backslash, no "]", or an empty ROOT or PATH
    KEY_LINE_UNKNOWN_ROOT  // ROOT is none of the four names
};

// Takes apart a line that starts with "[".
KeyLineParse ParseKeyLine(const char* line, KeyLine* key);
