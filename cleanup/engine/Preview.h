// The engine's "report instead of act" mode, which Fenwash -Preview runs.
// Every decision stays where the cleanup takes it; only the few calls that
// change the machine consult previewOnly. While it is set they write what
// they would do to standard output and answer as the change would, so that
// the code around them takes the same path as in a real cleanup.
#pragma once

#include <windows.h>

#include "EventTally.h"

extern bool previewOnly;

// One line of the report, printf-style (cut at 767 characters); nothing
// unless previewing.
void ReportLine(const char* pszFormat, ...);

// What the cleanup left, refused or failed at, decided here: counted in the
// event's tally, and written as a line of the report when previewing.
void ReportOutcome(Outcome outcome, const char* pszFormat, ...);

// Writes the files, folders and links that the event's tally gained since the
// last call as removed.
void ReportRemovals();

// The acting points of the file walks; each counts what it did in the event's
// tally, a removal that went or failed. A preview counts the removal and
// answers success for a file; for a folder, bEmptied says whether the walk
// left it empty, which is what its removal would find. An entry counted
// earlier in the event is not counted again: a real cleanup would find it
// gone.
bool DeleteFileOrCount(const char* pszName);
bool RemoveDirectoryOrCount(const char* pszName, bool bEmptied, bool bLink);
void SetAttributesUnlessPreview(const char* pszName, DWORD nAttributes);

// True in a preview for an entry that an earlier item of the event removes;
// a real cleanup does not meet it at all.
bool RemovedEarlierInPreview(const char* pszName);
// Starts the event's record of removals afresh.
void ForgetRemovals();
