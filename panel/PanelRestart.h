// The restart both the status dialog and the build notice ask for.
#pragma once

#include "CWnd.h"

// Asks Windows for an immediate restart. When it cannot be asked for (the
// user lacks the shutdown privilege, or Windows refuses), says so in a box
// owned by the given window and returns false: the user would otherwise
// wait for a restart that never comes.
bool RestartOrTell(CWnd& owner);
