// The service runs as LocalSystem what its folder, its program and its
// configuration say: whoever may change one of them may act as LocalSystem.
// The installer closes them to all but administrators and SYSTEM, and the
// service warns at each start when one is open to others.
#pragma once

#include <windows.h>

enum ServiceFile
{
    SERVICE_FOLDER,
    SERVICE_PROGRAM,
    SERVICE_CONFIGURATION,
    SERVICE_FILE_COUNT
};

// The running program's folder (without its last backslash, unless it is a
// drive's root), the program and the Fenwash.ini beside it; false when the
// program's path cannot be had whole.
bool FindServiceFiles(char paths[SERVICE_FILE_COUNT][MAX_PATH]);

// -RegServer: gives the three a DACL of their own: Administrators and SYSTEM
// full control, Everyone read and execute, the folder's passed to what is
// later created in it. Each outcome is logged; nothing here stops the install.
void ProtectServiceFiles();

// At each start of the service, and in -Preview's report: one warning for
// each of the three that another account may change, naming it and the
// account.
void WarnIfServiceFilesOpen();
