// Save mode's export: the keys named in the key list, with all their values
// and subkeys, as the REGEDIT4 registry script "Z:\stavix.reg".
#pragma once

enum ExportResult
{
    EXPORT_DONE,        // the script is written whole and closed, whether or not
                        // a key went into it
    EXPORT_NO_KEY_LIST, // the key list does not open; no script is made
    EXPORT_NO_SCRIPT,   // the script could not be created
    EXPORT_SCRIPT_CUT   // the script could not be written whole; it is deleted
};

// Key lines passed over that a report names, and the characters it shows of
// each: enough to tell a mistyped key, few enough that the run's event log
// entry stays short.
#define NAMED_LINES 3
#define NAMED_LINE_SIZE 64

// What the export found and wrote.
struct ExportCounts
{
    bool marked;                   // a marker line was found
    unsigned long keyLines;        // lines starting with "[" behind a marker line
    unsigned long linesPassedOver; // key lines that carried nothing
    unsigned long keysSaved;       // listed keys and subkeys written, each under its header
    unsigned long leftOut;         // values and subkeys of theirs the script cannot hold
    long scriptBytes;              // the size of the script as written
    // The first key lines passed over, each cut to its first
    // NAMED_LINE_SIZE - 1 characters (8-bit text).
    char passedOver[NAMED_LINES][NAMED_LINE_SIZE];
};

ExportResult ExportRegistryKeys(ExportCounts* counts);
