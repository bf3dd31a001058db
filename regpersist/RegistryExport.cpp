#include "RegistryExport.h"

#include <strsafe.h>
#include <string.h>

#include "KeyExport.h"
#include "KeyList.h"
#include "ScopedFile.h"
#include "ScopedRegKey.h"

namespace {

const char marker[] = "<TSCAL path>";

// A key line that names no key, or a key that does not open, carries
// nothing; the debugger output is the only place that tells.
void ReportPassedOver(const char* line)
{
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n')
        --length;
    char text[STAVIX_LINE_SIZE + 48];
    StringCchPrintfA(text, ARRAYSIZE(text), "Stavix: key list line passed over: %.*s\n", (int)length,
                     line);
    OutputDebugStringA(text);
}

void ExportListedKey(const KeyLine& line, KeyExport& keys)
{
    wchar_t path[STAVIX_LINE_SIZE];
    ScopedRegKey key;
    if (MultiByteToWideChar(CP_ACP, 0, line.path, -1, path, STAVIX_LINE_SIZE) == 0 ||
        key.Open(line.root, path, KEY_READ) != ERROR_SUCCESS)
        return ReportPassedOver(line.scriptLine);
    keys.Out().Put('\n');
    keys.Out().Put(line.scriptLine);
    keys.ExportKey(key.Get(), line.rootName, line.path);
}

} // namespace

void ExportKeyList(FILE* keyList, KeyExport& keys)
{
    keys.Out().Put("REGEDIT4\n");
    char line[STAVIX_LINE_SIZE];
    KeyListRead read;
    while ((read = ReadKeyListLine(keyList, line)) != KEY_LIST_END) {
        if (line[0] != '[')
            continue;
        if (read == KEY_LIST_TOO_LONG) {
            ReportPassedOver(line);
            continue;
        }
        KeyLine key;
        KeyLineParse parse = ParseKeyLine(line, &key);
        if (parse == KEY_LINE_ENDS_RUN)
            break;
        // An unknown root names no key: the line is passed over rather than
        // read under the root of an earlier line.
        if (parse == KEY_LINE_OK)
            ExportListedKey(key, keys);
        else
            ReportPassedOver(line);
    }
    keys.Out().Put('\n');
}

// The save's record says 0 for these as for a stored script; the debugger
// output tells them apart.
int ExportRegistryKeys()
{
    ScopedFile keyList(KEY_LIST_PATH, "r");
    if (!keyList.IsOpen()) {
        OutputDebugStringW(L"Stavix: the key list does not open; nothing is saved\n");
        return 0;
    }
    ScopedFile script(SCRIPT_PATH, "w");
    bool written = false, marked = false;
    if (script.IsOpen()) {
        {
            ScriptWriter out(script.Get());
            KeyExport keys(out);
            char line[STAVIX_LINE_SIZE];
            KeyListRead read;
            while ((read = ReadKeyListLine(keyList.Get(), line)) != KEY_LIST_END) {
                if (read == KEY_LIST_LINE && strstr(line, marker) != NULL) {
                    marked = true;
                    ExportKeyList(keyList.Get(), keys);
                }
            }
            written = out.Flush();
        }
        written = script.Close() && written;
    }
    if (!written) {
        OutputDebugStringW(L"Stavix: Z:\\stavix.reg could not be written whole; nothing is saved\n");
        return 0;
    }
    if (!marked)
        OutputDebugStringW(L"Stavix: the key list holds no <TSCAL path> line; nothing is saved\n");
    return 1;
}
