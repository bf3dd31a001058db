/* Test control of the substitute write filter driver. It listens on a
   device of its own beside the filter's, so that tests can still reach it
   while the filter's device refuses to open or is hidden. */
#pragma once

#include "WriteFilterProtocol.h"

#define WRITE_FILTER_TEST_DEVICE_PATH L"\\\\.\\OBRWriteFilterTest"

/* Takes a WriteFilterTestState and makes it the driver's; starts the call
   counts afresh. */
#define IOCTL_WRITE_FILTER_TEST_SET CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA01, METHOD_BUFFERED, FILE_ANY_ACCESS)
/* Returns the driver's WriteFilterTestState. */
#define IOCTL_WRITE_FILTER_TEST_GET CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA02, METHOD_BUFFERED, FILE_ANY_ACCESS)

/* Faults the filter's device shows until they are set otherwise. (An open
   refused with access denied is not among them: Wine opens a device whatever
   status the driver gives the create request.) */
#define WRITE_FILTER_FAULT_QUERY       0x02u /* the status query fails */
#define WRITE_FILTER_FAULT_FLUSH       0x04u /* the flush fails and changes nothing */
#define WRITE_FILTER_FAULT_HIDDEN      0x08u /* the device's name is gone */

#define WRITE_FILTER_MAX_FLUSH_DELAY_MS 60000u

typedef struct WriteFilterTestState
{
    /* Returned as it stands by a query, unread bytes included. */
    WriteFilterStatus status;
    uint32_t faults;        /* WRITE_FILTER_FAULT_* */
    uint32_t flushDelayMs;  /* how long a flush takes; at most the maximum above */
    /* Calls that reached the filter's device since the state was last set;
       ignored when setting. */
    uint32_t queryCalls;
    uint32_t flushCalls;
} WriteFilterTestState;

C_ASSERT(sizeof(WriteFilterTestState) == 36);
C_ASSERT(offsetof(WriteFilterTestState, faults) == 20);
C_ASSERT(offsetof(WriteFilterTestState, flushCalls) == 32);

/* Where each successful flush leaves a line, outside what the filter
   protects, once the state it commits is kept for the terminal's restart
   (the testbed removes the file at every start). */
#define WRITE_FILTER_FLUSH_RECORD L"\\??\\T:\\writefilter-flushes.log"
