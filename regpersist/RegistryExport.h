// Save mode's export: the keys named in the key list, with all their values
// and subkeys, as the REGEDIT4 registry script "Z:\stavix.reg".
#pragma once

#include <stdio.h>

#include "KeyExport.h"

// 0 when the key list can't be opened for reading, the script can't be
// created, or the script could not be written whole; otherwise 1, whether or
// not a key was written.
int ExportRegistryKeys();

// One run over the key list from the line behind a marker line, up to its
// end or to a key line that names no key.
void ExportKeyList(FILE* keyList, KeyExport& keys);
