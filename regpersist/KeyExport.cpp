#include "KeyExport.h"

#include <strsafe.h>
#include <string.h>

#include "ScopedRegKey.h"
#include "ValueLine.h"

// A value or key the script cannot carry is left out of it: the debugger
// output names it, the run's entry counts it. A path too long for the line
// is named by its beginning.
void KeyExport::LeaveOut(const char* path, const wchar_t* what)
{
    ++m_leftOut;
    wchar_t line[600];
    StringCchPrintfW(line, 600, L"Stavix: left out of the script: %hs\\%.300hs %s\n", m_root, path, what);
    OutputDebugStringW(line);
}

void KeyExport::ExportKey(HKEY key, const char* root, const char* path, size_t pathLength)
{
    m_root = root;
    m_rootLength = strlen(root);
    if (!m_path.Grow((DWORD)pathLength + 1))
        return LeaveOut("", L"(the listed key: out of memory)");
    memcpy(Path(), path, pathLength);
    Path()[pathLength] = '\0';
    m_pathLength = pathLength;
    Export(key);
}

void KeyExport::Export(HKEY key)
{
    ++m_keysSaved;
    DWORD subkeyCount, valueCount, longestData;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeyCount, NULL, NULL, &valueCount, NULL,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return;
    ExportValues(key, valueCount, longestData);
    ExportSubkeys(key, subkeyCount);
}

void KeyExport::ExportValues(HKEY key, DWORD valueCount, DWORD longestData)
{
    DWORD wanted = longestData;
    for (DWORD index = 0; index < valueCount; ++index) {
        if (!m_data.Reserve(wanted))
            return LeaveOut(Path(), L"(values: out of memory)");
        DWORD nameLength = 16384, type, size = m_data.Size();
        // Name, type and data in one call: the one call per value that a
        // large key needs.
        LONG result = RegEnumValueW(key, index, m_valueName, &nameLength, NULL, &type,
                                    m_data.Bytes(), &size);
        if (result == ERROR_MORE_DATA) {
            // The value grew since the key was asked: ask again, with more room.
            wanted = (m_data.Size() + 1) * 2;
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS)
            continue;
        if (!WriteValueLine(m_out, m_valueName, nameLength, type, m_data.Bytes(), size))
            LeaveOut(Path(), nameLength != 0 ? m_valueName : L"(default)");
    }
}

void KeyExport::ExportSubkeys(HKEY key, DWORD subkeyCount)
{
    size_t pathLength = m_pathLength;
    for (DWORD index = 0; index < subkeyCount; ++index) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, m_subkeyName, &nameLength, NULL, NULL, NULL, NULL) !=
            ERROR_SUCCESS)
            continue;
        if (!AppendToPath(m_subkeyName, nameLength)) {
            LeaveOut(Path(), m_subkeyName);
            continue;
        }
        m_out.Put("\n[");
        m_out.Put(m_root, m_rootLength);
        m_out.Put('\\');
        m_out.Put(Path(), m_pathLength);
        m_out.Put("]\n");
        ScopedRegKey subkey;
        if (subkey.Open(key, m_subkeyName, KEY_READ) == ERROR_SUCCESS)
            Export(subkey.Get());
        m_pathLength = pathLength;
        Path()[pathLength] = '\0';
    }
}

// A name the script cannot hold, or one with a line break, never goes into
// a header line: it would name another key.
bool KeyExport::AppendToPath(const wchar_t* name, size_t nameLength)
{
    if (!m_path.Grow((DWORD)(m_pathLength + 1 + nameLength + 1)))
        return false;
    const ScriptCharacters& characters = m_out.Characters();
    char* end = Path() + m_pathLength;
    *end++ = '\\';
    for (size_t i = 0; i < nameLength; ++i) {
        int byte = characters.ByteOf(name[i]);
        if (byte < 0 || name[i] == L'\r' || name[i] == L'\n') {
            Path()[m_pathLength] = '\0';
            return false;
        }
        *end++ = (char)byte;
    }
    *end = '\0';
    m_pathLength += 1 + nameLength;
    return true;
}
