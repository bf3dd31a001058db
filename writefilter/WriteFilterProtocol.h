/* What the write filter driver and its clients exchange: the two control
   codes and the 20-byte status record. Plain C, so that the substitute
   driver of the virtual terminal shares it with the programs. */
#pragma once

#include <stddef.h>
#include <stdint.h>

/* A driver has its kernel headers in front of this one; a program gets
   the user-mode ones here. */
#ifndef CTL_CODE
#include <windows.h>
#include <winioctl.h>
#endif

#define IOCTL_WRITE_FILTER_QUERY 0x00072404u
#define IOCTL_WRITE_FILTER_FLUSH 0x00072408u

C_ASSERT(IOCTL_WRITE_FILTER_QUERY == CTL_CODE(FILE_DEVICE_DISK, 0x901, METHOD_BUFFERED, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_WRITE_FILTER_FLUSH == CTL_CODE(FILE_DEVICE_DISK, 0x902, METHOD_BUFFERED, FILE_ANY_ACCESS));

#define WRITE_FILTER_DEVICE_PATH L"\\\\.\\OBRWriteFilter"

/* The mode byte that marks the filter as switched off; every other value
   means it is active. */
#define WRITE_FILTER_MODE_INACTIVE 1

typedef struct WriteFilterStatus
{
    uint32_t blocksInUse;    /* 512-byte blocks held in the cache */
    uint32_t blocksTotal;    /* 512-byte blocks the cache can hold */
    uint8_t mode;
    uint8_t unread9[3];      /* the driver's own; never read */
    uint32_t entriesFlushed;
    uint8_t unread16[4];     /* the driver's own; never read */
} WriteFilterStatus;

C_ASSERT(sizeof(WriteFilterStatus) == 20);
C_ASSERT(offsetof(WriteFilterStatus, blocksTotal) == 4);
C_ASSERT(offsetof(WriteFilterStatus, mode) == 8);
C_ASSERT(offsetof(WriteFilterStatus, unread9) == 9);
C_ASSERT(offsetof(WriteFilterStatus, entriesFlushed) == 12);
C_ASSERT(offsetof(WriteFilterStatus, unread16) == 16);
