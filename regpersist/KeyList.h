// The key list "C:\winnt\system32\stavix.ini": 8-bit text, read line by line.
#pragma once

#include <stdio.h>
#include <windows.h>

#include "StavixFiles.h"

enum KeyListRead
{
    KEY_LIST_LINE,     // a line, its line end kept when it had one
    KEY_LIST_TOO_LONG, // a line beyond STAVIX_LINE_SIZE - 1 characters, passed over whole
    KEY_LIST_END       // the end of the list, or a read error
};

// The next line of the list. A line too long for the buffer is passed over
// whole rather than taken as several lines: its tail could read as a key line.
KeyListRead ReadKeyListLine(FILE* keyList, char line[STAVIX_LINE_SIZE]);

struct KeyLine
{
    const char* rootName; // as the key list spells it
    HKEY root;
    char rootText[STAVIX_LINE_SIZE];
    char path[STAVIX_LINE_SIZE];
    // The line as it goes into the script: as read, but ending right behind
    // the key's "]" when more "]" follow (the registry editor takes a key
    // name up to the last one), and always with a line end.
    char scriptLine[STAVIX_LINE_SIZE + 1];
};

enum KeyLineParse
{
    KEY_LINE_OK,
    KEY_LINE_ENDS_RUN,     // no backslash, no "]", or an empty ROOT or PATH
    KEY_LINE_UNKNOWN_ROOT  // ROOT is none of the four names
};

// Takes apart a line that starts with "[": [ROOT\PATH] and whatever follows.
KeyLineParse ParseKeyLine(const char* line, KeyLine* key);
