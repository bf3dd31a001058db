/* Test control of the substitute NAND flash driver, on a device of its own
   beside the flash device, so that tests can still reach it while the flash
   device is hidden. */
#pragma once

#include "FlashFileProtocol.h"

#define FLASH_TEST_DEVICE_PATH L"\\\\.\\GLORNTest"

/* Takes a FlashTestFaults and makes them the driver's. */
#define IOCTL_FLASH_TEST_SET_FAULTS CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA11, METHOD_BUFFERED, FILE_ANY_ACCESS)
/* Returns a FlashCallLog of the calls since the last one, and empties it. */
#define IOCTL_FLASH_TEST_TAKE_LOG CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA12, METHOD_BUFFERED, FILE_ANY_ACCESS)

/* Bits of failingCalls: the call with this code fails with
   STATUS_UNSUCCESSFUL before doing anything. */
#define FLASH_CALL_OPEN   0x01u
#define FLASH_CALL_CLOSE  0x02u
#define FLASH_CALL_DELETE 0x04u
#define FLASH_CALL_READ   0x08u
#define FLASH_CALL_WRITE  0x10u
#define FLASH_CALL_INFO   0x20u

typedef struct FlashTestFaults
{
    uint32_t failingCalls;   /* FLASH_CALL_* */
    /* Open, read, write and info calls report this many bytes fewer than
       they moved (never fewer than 0); the data itself moves in full. */
    uint32_t shortCountBy;
    uint32_t sizeHigh;       /* reported as the high half of every file size */
    uint32_t hidden;         /* nonzero: the flash device's name is gone */
} FlashTestFaults;

C_ASSERT(sizeof(FlashTestFaults) == 16);

typedef struct FlashCall
{
    uint32_t code;
    uint32_t inputLength;
    uint32_t outputLength;
    uint32_t requestLength;  /* the request's length field, 0 without a request */
    /* The request's handle, a close call's input, or the handle an open
       call gave out. */
    uint32_t handle;
    int32_t status;          /* NTSTATUS the call completed with */
    uint32_t information;    /* byte count it reported */
} FlashCall;

C_ASSERT(sizeof(FlashCall) == 28);

#define FLASH_CALL_LOG_SIZE 64

typedef struct FlashCallLog
{
    uint32_t count;          /* entries in calls */
    uint32_t dropped;        /* calls that came after the log was full */
    FlashCall calls[FLASH_CALL_LOG_SIZE];
} FlashCallLog;

C_ASSERT(sizeof(FlashCallLog) == 8 + 28 * FLASH_CALL_LOG_SIZE);

/* The flash store: one host file per flash file, outside what the write
   filter protects, so that it survives the terminal's restart. */
#define FLASH_STORE_FOLDER L"\\??\\T:\\flash\\"
