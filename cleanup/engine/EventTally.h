// What one event did, counted where each removal, refusal and failure is
// decided (the acting points of Preview.h), for the one event log entry that
// sums the event up. The counts are the event's: StartEventTally at its
// start sets them to 0.
#pragma once

#include <windows.h>

enum Outcome
{
    // Removed.
    REMOVED_FILE,
    REMOVED_FOLDER,
    REMOVED_LINK,
    // Left on purpose: what the configuration and the rules keep.
    LEFT_PROTECTED,         // a [DontDeleteDirs] folder
    LEFT_DOT_NAME,          // a name starting with a dot
    LEFT_LINK,              // a link at an item's own path, not entered
    LEFT_FOLDER_MATCHED,    // a folder that a file pattern matched
    LEFT_NOT_EMPTY,         // a folder something else stayed in
    // Refused: an item that names what must not be touched, or cannot be.
    REFUSED_SYSTEM_FOLDER,  // a drive's root, the Windows, system or program folder
    REFUSED_PATH,           // no full local path, a pattern without a folder, a file
                            // named as a folder, a full name too long to reach
    // Failed.
    FAILED_REMOVAL,         // a file, folder or link that would not go
    FAILED_CHECK,           // a folder that could not be listed or checked
    FAILED_SAVE_USERS,      // [SaveDynamicProfiles] could not be written
    // Programs.
    PROGRAM_STARTED,
    PROGRAM_REFUSED,
    PROGRAM_FAILED,
    // Profiles.
    PROFILE_DELETED,
    PROFILE_KEPT,
    PROFILE_FAILED,         // a deletion that stopped, or a cleanup that could not run
    OUTCOME_COUNT
};

struct EventTally
{
    DWORD nCounts[OUTCOME_COUNT];
    DWORD nStartTick;
};

void StartEventTally();
void Tally(Outcome outcome);
const EventTally& CurrentEventTally();
