#include "RegistryExport.h"

#include <windows.h>

#include <stdio.h>
#include <strsafe.h>
#include <string.h>

#include "KeyExport.h"
#include "KeyList.h"
#include "ScopedFile.h"
#include "ScopedRegKey.h"
#include "StavixFiles.h"

namespace {

const char marker[] = "<TSCAL path>";

// A key line that names no key, or a key that does not open, carries
// nothing; the debugger output tells with at most the line's first
// STAVIX_LINE_SIZE - 1 characters, the run's entry names the first few.
void ReportPassedOver(const char* line, size_t length, ExportCounts* counts)
{
    if (counts->linesPassedOver < NAMED_LINES) {
        // A line cut for the entry ends in "..." so that it is not taken
        // for the whole line.
        char* named = counts->passedOver[counts->linesPassedOver];
        const size_t shown = NAMED_LINE_SIZE - 4;
        StringCchCopyNA(named, NAMED_LINE_SIZE, line, length > shown ? shown : length);
        if (length > shown)
            StringCchCatA(named, NAMED_LINE_SIZE, "...");
    }
    ++counts->linesPassedOver;
    if (length > STAVIX_LINE_SIZE - 1)
        length = STAVIX_LINE_SIZE - 1;
    char text[STAVIX_LINE_SIZE + 48];
    StringCchPrintfA(text, ARRAYSIZE(text), "Stavix: key list line passed over: %.*s\n", (int)length,
                     line);
    OutputDebugStringA(text);
}

bool OpenListedKey(const KeyLine& line, ScopedRegKey* key)
{
    int length = MultiByteToWideChar(CP_ACP, 0, line.path, (int)line.pathLength, NULL, 0);
    HeapBuffer path;
    if (length == 0 || !path.Reserve((length + 1) * sizeof(wchar_t)))
        return false;
    wchar_t* text = (wchar_t*)path.Bytes();
    MultiByteToWideChar(CP_ACP, 0, line.path, (int)line.pathLength, text, length);
    text[length] = L'\0';
    return key->Open(line.root, text, KEY_READ) == ERROR_SUCCESS;
}

void ExportListedKey(const char* text, const KeyLine& line, KeyExport& keys, ExportCounts* counts)
{
    ScopedRegKey key;
    if (!OpenListedKey(line, &key))
        return ReportPassedOver(text, line.scriptLength, counts);
    keys.Out().Put('\n');
    keys.Out().Put(text, line.scriptLength);
    keys.Out().Put('\n');
    keys.ExportKey(key.Get(), line.rootName, line.path, line.pathLength);
}

// One run over the key list from the line behind a marker line, up to its
// end or to a key line that names no key.
void ExportKeyList(FILE* keyList, HeapBuffer& line, KeyExport& keys, ExportCounts* counts)
{
    keys.Out().Put("REGEDIT4\n");
    KeyListRead read;
    while ((read = ReadKeyListLine(keyList, line)) != KEY_LIST_END) {
        const char* text = (const char*)line.Bytes();
        if (text[0] != '[')
            continue;
        ++counts->keyLines;
        if (read == KEY_LIST_NO_MEMORY) {
            ReportPassedOver(text, strlen(text), counts);
            continue;
        }
        KeyLine key;
        KeyLineParse parse = ParseKeyLine(text, &key);
        if (parse == KEY_LINE_ENDS_RUN)
            break;
        // An unknown root names no key: the line is passed over rather than
        // read under the root of an earlier line.
        if (parse == KEY_LINE_OK)
            ExportListedKey(text, key, keys, counts);
        else
            ReportPassedOver(text, strlen(text), counts);
    }
    keys.Out().Put('\n');
}

} // namespace

// The save's record says 0 for a key list or script that does not open, as
// for a stored script; the debugger output tells them apart.
ExportResult ExportRegistryKeys(ExportCounts* counts)
{
    memset(counts, 0, sizeof(*counts));
    ScopedFile keyList(KEY_LIST_PATH, "r");
    if (!keyList.IsOpen()) {
        OutputDebugStringA("Stavix: the key list does not open; nothing is saved\n");
        return EXPORT_NO_KEY_LIST;
    }
    ScopedFile script(SCRIPT_PATH, "w");
    if (!script.IsOpen()) {
        OutputDebugStringA("Stavix: Z:\\stavix.reg could not be created; nothing is saved\n");
        return EXPORT_NO_SCRIPT;
    }
    bool written;
    {
        ScriptWriter out(script.Get());
        KeyExport keys(out);
        HeapBuffer line;
        KeyListRead read;
        while ((read = ReadKeyListLine(keyList.Get(), line)) != KEY_LIST_END) {
            if (read == KEY_LIST_LINE && strstr((const char*)line.Bytes(), marker) != NULL) {
                counts->marked = true;
                ExportKeyList(keyList.Get(), line, keys, counts);
            }
        }
        written = out.Flush();
        counts->keysSaved = keys.KeysSaved();
        counts->leftOut = keys.LeftOut();
    }
    counts->scriptBytes = ftell(script.Get());
    if (!script.Close() || !written) {
        // A cut script is never stored; left on Z:, it would also hold the
        // room that the status record needs to tell of the failure.
        DeleteFileW(SCRIPT_PATH_W);
        OutputDebugStringA("Stavix: Z:\\stavix.reg could not be written whole; nothing is saved\n");
        return EXPORT_SCRIPT_CUT;
    }
    if (!counts->marked)
        OutputDebugStringA("Stavix: the key list holds no <TSCAL path> line; nothing is saved\n");
    return EXPORT_DONE;
}
