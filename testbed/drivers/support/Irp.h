/* The one way the substitute drivers finish a request. */
#pragma once

#include <ntddk.h>

NTSTATUS CompleteIrp(PIRP irp, NTSTATUS status, ULONG_PTR information);

/* The caller's buffer of a direct-I/O call, mapped for the driver, or NULL
   when the call has none of the given length. */
void* DirectBuffer(PIRP irp, ULONG length);

/* Suspends the calling thread; a request that takes time. */
void WaitMilliseconds(ULONG milliseconds);
