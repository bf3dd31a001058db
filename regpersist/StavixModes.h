// The two things one run of Stavix does; each returns the exit status.
#pragma once

// "/s": exports the listed keys, stores the script and the status record on
// flash; 1 when the record did not reach flash, else 0.
int RunSaveMode();
// Anything else: imports a stored script, flushes the write filter when the
// stored record asks for it, publishes the record in the registry.
int RunRestoreMode();

// True for a command line of exactly "/s", in either case, once leading and
// trailing blanks and control characters are passed over.
bool IsSaveCommandLine(const wchar_t* commandLine);

// The key the write filter panel and Stavix share, under HKEY_LOCAL_MACHINE.
#define PENDRAX_KEY L"SOFTWARE\\ZRT\\pendrax"
