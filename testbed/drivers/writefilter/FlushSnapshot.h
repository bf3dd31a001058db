/* What a flush commits: on the terminal, the write filter writes the cache
   to flash as it stands at that moment, and a later restart goes back to
   exactly that. The substitute keeps the moment's state outside what the
   filter protects, for the testbed's restart to put back. */
#pragma once

#include <ntddk.h>

/* Saves the registry's branches into T:\flush-pending\ (system.reg,
   userdef.reg, user.reg, in the prefix's own format), then asks the
   testbed's flush watcher to add drive C: and make the whole the state a
   restart goes back to, and waits for it. Fails when a branch cannot be
   saved or the watcher does not answer in time: a flush the restart would
   not keep has not happened. */
NTSTATUS TakeFlushSnapshot(void);
