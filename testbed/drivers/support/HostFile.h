/* Files of the terminal's host folder (drive T:), which lies outside what
   the write filter protects. Paths are NT paths, as \??\T:\name. */
#pragma once

#include <ntddk.h>

/* A synchronous handle to a plain file. disposition is ZwCreateFile's
   (FILE_OPEN, FILE_OVERWRITE_IF...); options are added to its own. */
NTSTATUS OpenHostFile(PCWSTR path, ACCESS_MASK access, ULONG disposition, ULONG shareAccess,
                      ULONG options, HANDLE* file);
NTSTATUS AppendToHostFile(PCWSTR path, const void* data, ULONG length);
NTSTATUS DeleteHostFile(PCWSTR path);
