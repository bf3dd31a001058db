// The cleanups at work in the service's process: the start-up cleanup and each
// console event. A stop refuses new ones and waits until none runs, so that the
// service is never reported stopped, nor its process ended, under a cleanup.
#pragma once

#include <windows.h>

// Counts one more cleanup at work; false once the service is stopping, and
// then nothing was counted and the cleanup must not run.
bool BeginRunningEvent();
void EndRunningEvent();

// From now on every BeginRunningEvent is refused.
void RefuseNewEvents();

LONG RunningEventCount();
