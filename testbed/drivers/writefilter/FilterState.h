/* The substitute write filter: a cache that only counts, in memory, and the
   test settings that shape what its device answers. */
#pragma once

#include <ntddk.h>

#include "NamedDevice.h"
#include "WriteFilterTestControl.h"

void InitFilterState(NamedDevice* filterDevice);

/* Each answers one control call on a buffered system buffer of
   max(inputLength, outputLength) bytes and sets the byte count returned. */
NTSTATUS AnswerFilterCall(ULONG code, void* buffer, ULONG outputLength, ULONG_PTR* information);
NTSTATUS AnswerFilterTestCall(ULONG code, void* buffer, ULONG inputLength, ULONG outputLength,
                              ULONG_PTR* information);
