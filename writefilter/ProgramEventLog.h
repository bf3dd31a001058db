// Entries in the system's Application log under a program's own event
// source, for the two write filter programs. Each program carries a message
// table (its NAME.mc) whose every message is the entry's text as written,
// and registers itself as the message file of its source, so that the event
// viewer shows the text rather than a note that the description of the
// event cannot be found.
#pragma once

#include <windows.h>

// Makes this program's executable the message file of the source, with the
// error, warning and information types. Writes only what is missing or
// different (a moved program): each write takes room in the write filter's
// cache. False when it could not be written (no right to HKEY_LOCAL_MACHINE);
// the entries are reported all the same, the viewer then shows them with
// its note.
bool RegisterProgramEventSource(LPCWSTR source);

// One entry with the text as its only string. False when it was not
// reported.
bool ReportProgramEvent(LPCWSTR source, WORD type, DWORD id, LPCWSTR text);
