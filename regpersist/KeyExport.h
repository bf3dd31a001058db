// A registry key with all its values and subkeys, written to the script.
#pragma once

#include <windows.h>

#include "HeapBuffer.h"
#include "ScriptWriter.h"
#include "StavixFiles.h"

class KeyExport
{
public:
    explicit KeyExport(ScriptWriter& out) : m_out(out) {}
    KeyExport(const KeyExport&) = delete;
    KeyExport& operator=(const KeyExport&) = delete;

    // Writes the open key's value lines, then each subkey depth first under
    // a header line [ROOT\PATH\NAME]. ROOT and PATH are the 8-bit texts of
    // a key line, which fit a line.
    void ExportKey(HKEY key, const char* root, const char* path);
    ScriptWriter& Out() const { return m_out; }

private:
    void ExportValues(HKEY key, DWORD valueCount, DWORD longestData);
    void ExportSubkeys(HKEY key, DWORD subkeyCount);
    bool AppendToPath(const wchar_t* name, size_t nameLength);
    void Export(HKEY key);

    ScriptWriter& m_out;
    const char* m_root;
    size_t m_rootLength;
    char m_path[STAVIX_LINE_SIZE];
    size_t m_pathLength;
    HeapBuffer m_data;
    // The longest names the registry allows, with their NULs.
    wchar_t m_valueName[16384];
    wchar_t m_subkeyName[256];
};
