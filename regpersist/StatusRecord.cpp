#include "StatusRecord.h"

#include <string.h>

#include "FlashCommit.h"
#include "ScopedFile.h"

RecordStore WriteStatusRecord(const char* text)
{
    {
        ScopedFile record(RECORD_PATH, "w");
        if (!record.IsOpen())
            return RECORD_NOT_WRITTEN;
        fputs(text, record.Get());
        if (!record.Close())
            return RECORD_NOT_WRITTEN;
    }
    DeleteFlashFile(RECORD_FLASH_NAME);
    return CopyFileToFlash(RECORD_PATH_W, RECORD_FLASH_NAME) == FLASH_DONE ? RECORD_STORED
                                                                           : RECORD_NOT_ON_FLASH;
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

namespace {

// A signed decimal number as "%d" writes it; NULL when there is none, else
// the text behind it.
const char* SkipNumber(const char* text, bool* zero)
{
    if (*text == '-')
        ++text;
    const char* digits = text;
    *zero = true;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (*text != '0')
            *zero = false;
    }
    return text != digits ? text : NULL;
}

} // namespace

bool ReadSaveResult(const char* text, bool* succeeded)
{
    bool saved, flushZero;
    if (strncmp(text, "err:", 4) != 0 || (text = SkipNumber(text + 4, &saved)) == NULL ||
        strncmp(text, ",flush:", 7) != 0 || (text = SkipNumber(text + 7, &flushZero)) == NULL ||
        *text != '\0')
        return false;
    *succeeded = saved;
    return true;
}
