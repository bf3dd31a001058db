#include "KeyList.h"

#include <string.h>

KeyListRead ReadKeyListLine(FILE* keyList, char line[STAVIX_LINE_SIZE])
{
    if (fgets(line, STAVIX_LINE_SIZE, keyList) == NULL)
        return KEY_LIST_END;
    size_t length = strlen(line);
    if (length < STAVIX_LINE_SIZE - 1 || line[length - 1] == '\n')
        return KEY_LIST_LINE;
    // A line of the longest length whose line end did not fit is whole.
    int c = fgetc(keyList);
    if (c == EOF || c == '\n')
        return KEY_LIST_LINE;
    while ((c = fgetc(keyList)) != EOF && c != '\n') {
    }
    return KEY_LIST_TOO_LONG;
}

namespace {

struct RootName
{
    const char* name;
    HKEY root;
};

// Compared exactly, case included, in this order.
const RootName rootNames[] = {
    { "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT },
    { "HKEY_CURRENT_USER", HKEY_CURRENT_USER },
    { "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE },
    { "HKEY_USERS", HKEY_USERS },
};

} // namespace

KeyLineParse ParseKeyLine(const char* line, KeyLine* key)
{
    const char* backslash = strchr(line + 1, '\\');
    if (backslash == NULL || backslash == line + 1)
        return KEY_LINE_ENDS_RUN;
    const char* bracket = strchr(backslash + 1, ']');
    if (bracket == NULL || bracket == backslash + 1)
        return KEY_LINE_ENDS_RUN;

    size_t rootLength = backslash - (line + 1), pathLength = bracket - (backslash + 1);
    memcpy(key->rootText, line + 1, rootLength);
    key->rootText[rootLength] = '\0';
    memcpy(key->path, backslash + 1, pathLength);
    key->path[pathLength] = '\0';

    key->rootName = NULL;
    for (const RootName& root : rootNames) {
        if (strcmp(key->rootText, root.name) == 0) {
            key->rootName = root.name;
            key->root = root.root;
            break;
        }
    }
    if (key->rootName == NULL)
        return KEY_LINE_UNKNOWN_ROOT;

    size_t length = strlen(line);
    if (strchr(bracket + 1, ']') != NULL)
        length = bracket + 1 - line;
    else if (length > 0 && line[length - 1] == '\n')
        --length;
    memcpy(key->scriptLine, line, length);
    key->scriptLine[length] = '\n';
    key->scriptLine[length + 1] = '\0';
    return KEY_LINE_OK;
}
