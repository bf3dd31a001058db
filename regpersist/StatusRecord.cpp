#include "StatusRecord.h"

#include <string.h>

#include "FlashCommit.h"
#include "ScopedFile.h"

bool WriteStatusRecord(const char* text)
{
    ScopedFile record(RECORD_PATH, "w");
    if (!record.IsOpen())
        return false;
    fputs(text, record.Get());
    if (!record.Close())
        return false;
    DeleteFlashFile(RECORD_FLASH_NAME);
    CopyFileToFlash(RECORD_PATH_W, RECORD_FLASH_NAME);
    return true;
}

bool ReadStatusRecord(char text[STAVIX_LINE_SIZE])
{
    text[0] = '\0';
    ScopedFile record(RECORD_PATH, "r");
    if (!record.IsOpen())
        return false;
    if (fgets(text, STAVIX_LINE_SIZE, record.Get()) == NULL) {
        text[0] = '\0';
        return false;
    }
    size_t length = strlen(text);
    if (length > 0 && text[length - 1] == '\n')
        text[length - 1] = '\0';
    return text[0] != '\0';
}

bool RecordAsksForFlush(const char* text)
{
    return strstr(text, "flush:1") != NULL;
}
