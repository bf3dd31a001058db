/* The small file interface of the NAND flash driver: six control codes and
   the two records they carry. Plain C, so that the substitute driver of the
   virtual terminal shares it with the program. */
#pragma once

#include <stddef.h>
#include <stdint.h>

/* A driver has its kernel headers in front of this one; a program gets
   the user-mode ones here. */
#ifndef CTL_CODE
#include <windows.h>
#include <winioctl.h>
#endif

#define IOCTL_FLASH_FILE_OPEN   0x00072004u
#define IOCTL_FLASH_FILE_CLOSE  0x00072008u
#define IOCTL_FLASH_FILE_DELETE 0x00072010u
#define IOCTL_FLASH_FILE_READ   0x00072015u
#define IOCTL_FLASH_FILE_WRITE  0x0007201Au
#define IOCTL_FLASH_FILE_INFO   0x00072038u

C_ASSERT(IOCTL_FLASH_FILE_OPEN == CTL_CODE(FILE_DEVICE_DISK, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_FLASH_FILE_CLOSE == CTL_CODE(FILE_DEVICE_DISK, 0x802, METHOD_BUFFERED, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_FLASH_FILE_DELETE == CTL_CODE(FILE_DEVICE_DISK, 0x804, METHOD_BUFFERED, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_FLASH_FILE_READ == CTL_CODE(FILE_DEVICE_DISK, 0x805, METHOD_IN_DIRECT, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_FLASH_FILE_WRITE == CTL_CODE(FILE_DEVICE_DISK, 0x806, METHOD_OUT_DIRECT, FILE_ANY_ACCESS));
C_ASSERT(IOCTL_FLASH_FILE_INFO == CTL_CODE(FILE_DEVICE_DISK, 0x80E, METHOD_BUFFERED, FILE_ANY_ACCESS));

#define FLASH_DEVICE_PATH L"\\\\.\\GLORN"
#define FLASH_VOLUME_PATH L"\\\\.\\C:"

#define FLASH_REQUEST_HEADER 1u
#define FLASH_OPEN_FOR_WRITING 0x100u
#define FLASH_NAME_SIZE 100

typedef struct FlashFileRequest
{
    uint32_t header;     /* always FLASH_REQUEST_HEADER */
    uint32_t openFlags;  /* FLASH_OPEN_FOR_WRITING, or 0 */
    /* 32-bit address of the caller's chunk buffer. Only meaningful to the
       caller: the driver moves data through the call's own buffers. */
    uint32_t buffer;
    uint32_t length;     /* bytes in the current chunk */
    uint32_t handle;     /* what the open call returned */
    uint32_t access;
    uint32_t reserved;
    char name[FLASH_NAME_SIZE]; /* ANSI, NUL-terminated, zero-filled */
} FlashFileRequest;

C_ASSERT(sizeof(FlashFileRequest) == 128);
C_ASSERT(offsetof(FlashFileRequest, openFlags) == 4);
C_ASSERT(offsetof(FlashFileRequest, buffer) == 8);
C_ASSERT(offsetof(FlashFileRequest, length) == 12);
C_ASSERT(offsetof(FlashFileRequest, handle) == 16);
C_ASSERT(offsetof(FlashFileRequest, access) == 20);
C_ASSERT(offsetof(FlashFileRequest, reserved) == 24);
C_ASSERT(offsetof(FlashFileRequest, name) == 28);

/* A FILETIME without its 8-byte alignment, as the record packs it. */
typedef struct FlashFileTime
{
    uint32_t low;
    uint32_t high;
} FlashFileTime;

/* The program reads the creation time from the first 8 bytes, so the record
   keeps it there, whole, rather than behind an attributes field. */
typedef struct FlashFileInfo
{
    FlashFileTime creationTime;
    uint32_t attributes;
    FlashFileTime lastAccessTime;
    FlashFileTime lastWriteTime;
    uint32_t volumeSerialNumber;
    uint32_t sizeHigh;   /* must be 0 for the program to fetch the file */
    uint32_t sizeLow;
    uint32_t numberOfLinks;
    uint32_t fileIndexHigh;
    uint32_t fileIndexLow;
} FlashFileInfo;

C_ASSERT(sizeof(FlashFileInfo) == 52);
C_ASSERT(offsetof(FlashFileInfo, attributes) == 8);
C_ASSERT(offsetof(FlashFileInfo, lastAccessTime) == 12);
C_ASSERT(offsetof(FlashFileInfo, lastWriteTime) == 20);
C_ASSERT(offsetof(FlashFileInfo, sizeHigh) == 32);
C_ASSERT(offsetof(FlashFileInfo, sizeLow) == 36);
C_ASSERT(offsetof(FlashFileInfo, fileIndexLow) == 48);
