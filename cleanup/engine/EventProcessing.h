// What the cleanup service does at each of its three system events.
#pragma once

#include <windows.h>

#include "config/CleanupItem.h"

// The whole processing of one SystemEvent. Events are processed one at a
// time: a call waits while another thread is inside. The thread that calls
// it must not be suspended from outside while inside, or every later event
// waits for it.
void ProcessEvents(DWORD nEvent);

// One directory, file or application item, when its triggers include the event.
void ProcessEvent(CleanupItem* pItem, DWORD nEvent);
