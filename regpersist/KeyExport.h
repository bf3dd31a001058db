// A registry key with all its values and subkeys, written to the script.
#pragma once

#include <windows.h>

#include "HeapBuffer.h"
#include "ScriptWriter.h"

class KeyExport
{
public:
    explicit KeyExport(ScriptWriter& out) : m_out(out), m_keysSaved(0), m_leftOut(0) {}
    KeyExport(const KeyExport&) = delete;
    KeyExport& operator=(const KeyExport&) = delete;

    // Writes the open key's value lines, then each subkey depth first under
    // a header line [ROOT\PATH\NAME]. ROOT and PATH are the 8-bit texts of
    // a key line, whose header the caller has written.
    void ExportKey(HKEY key, const char* root, const char* path, size_t pathLength);
    ScriptWriter& Out() const { return m_out; }
    // The keys exported so far, each listed key and each subkey one.
    unsigned long KeysSaved() const { return m_keysSaved; }
    // The values and subkeys left out so far: the script cannot hold them.
    unsigned long LeftOut() const { return m_leftOut; }

private:
    void ExportValues(HKEY key, DWORD valueCount, DWORD longestData);
    void ExportSubkeys(HKEY key, DWORD subkeyCount);
    bool AppendToPath(const wchar_t* name, size_t nameLength);
    void Export(HKEY key);
    void LeaveOut(const char* path, const wchar_t* what);
    char* Path() const { return (char*)m_path.Bytes(); }

    ScriptWriter& m_out;
    const char* m_root;
    size_t m_rootLength;
    // PATH behind ROOT, 8-bit text; it grows with the depth of the key, up
    // to the registry's 512 levels of 255 characters each.
    HeapBuffer m_path;
    size_t m_pathLength;
    unsigned long m_keysSaved;
    unsigned long m_leftOut;
    HeapBuffer m_data;
    // The longest names the registry allows, with their NULs.
    wchar_t m_valueName[16384];
    wchar_t m_subkeyName[256];
};
