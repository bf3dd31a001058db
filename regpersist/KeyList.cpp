#include "KeyList.h"

#include <string.h>

KeyListRead ReadKeyListLine(FILE* keyList, HeapBuffer& line)
{
    if (!line.Grow(256))
        return KEY_LIST_END;
    DWORD used = 0;
    bool fits = true;
    int c;
    // The text-mode stream makes CR LF one LF; a CR left alone still ends
    // the line, as the registry editor would end it there in the script.
    while ((c = fgetc(keyList)) != EOF && c != '\n' && c != '\r') {
        // Room for the character and the NUL behind the text.
        if (fits && used + 2 > line.Size() && !line.Grow(used + 2))
            fits = false;
        if (fits)
            line.Bytes()[used++] = (BYTE)c;
    }
    line.Bytes()[used] = '\0';
    if (!fits)
        return KEY_LIST_NO_MEMORY;
    return c == EOF && used == 0 ? KEY_LIST_END : KEY_LIST_LINE;
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

    size_t rootLength = backslash - (line + 1);
    key->rootName = NULL;
    for (const RootName& root : rootNames) {
        if (strlen(root.name) == rootLength && strncmp(line + 1, root.name, rootLength) == 0) {
            key->rootName = root.name;
            key->root = root.root;
            break;
        }
    }
    if (key->rootName == NULL)
        return KEY_LINE_UNKNOWN_ROOT;

    key->path = backslash + 1;
    key->pathLength = bracket - key->path;
    key->scriptLength = strchr(bracket + 1, ']') != NULL ? bracket + 1 - line : strlen(line);
    return KEY_LINE_OK;
}
