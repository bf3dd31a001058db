// The process-wide settings and lists of the cleanup service, read once from
// Fenwash.ini beside the program.
#pragma once

#include <windows.h>

#include "DirList.h"
#include "QuilItemList.h"

extern char iniPath[MAX_PATH];
extern BYTE profileCleanupEnabled;
// The one event log entry after each event; [Parameters] EventSummary=0 alone
// turns it off.
extern BYTE eventSummaryEnabled;
extern LONG maxDynamicProfiles;
extern char profileActionTrigger[MAX_PATH];
extern CQuilItemList profileList;
extern CQuilItemList directoryList;
extern CQuilItemList fileList;
extern CQuilItemList applicationList;
extern CDirList dontDeleteDirs;

// The running program's folder, ending in a backslash; false, with the
// buffer empty, when the program's path cannot be had whole (a cut path would
// name some other folder).
bool GetProgramFolder(char (&szFolder)[MAX_PATH]);

// Finds Fenwash.ini in the program's directory and loads it.
void LoadConfiguration();

// Loads the settings and lists from the given file into iniPath and the
// process-wide settings, which start again from their start values.
void LoadConfigurationFrom(const char* pszIniFile);
