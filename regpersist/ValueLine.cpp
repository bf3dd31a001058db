#include "ValueLine.h"

#include <string.h>

namespace {

// The registry editor ends a line at either of these, inside quotes too.
bool HasLineBreak(const wchar_t* text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (text[i] == L'\r' || text[i] == L'\n')
            return true;
    }
    return false;
}

// The registry editor reads a backslash or a double quote between quotes as
// the start of an escape, in a value's name as in its text.
void PutQuoted(ScriptWriter& out, const wchar_t* text, size_t count)
{
    out.Put('"');
    for (size_t i = 0; i < count; ++i) {
        if (text[i] == L'\\' || text[i] == L'"')
            out.Put('\\');
        out.PutCharacters(text + i, 1);
    }
    out.Put('"');
}

// The line's first part, "NAME"= and the type's tag; returns its length in
// characters as the line stands, escapes included.
size_t PutFirstPart(ScriptWriter& out, const wchar_t* name, size_t nameLength, const char* tag)
{
    size_t length = 2 + nameLength + 1 + strlen(tag);
    for (size_t i = 0; i < nameLength; ++i) {
        if (name[i] == L'\\' || name[i] == L'"')
            ++length;
    }
    PutQuoted(out, name, nameLength);
    out.Put('=');
    out.Put(tag);
    return length;
}

// Bytes as hex pairs behind a first part of the given length, wrapped the
// way the registry editor wraps its own: a backslash and a continuation line
// once the line reaches 77 characters. The last byte is written without that
// test, so it may stand alone on a continuation line.
class HexBytes
{
public:
    HexBytes(ScriptWriter& out, size_t column) : m_out(out), m_column(column) {}
    void Next(BYTE byte)
    {
        m_out.PutHex(byte);
        m_out.Put(',');
        m_column += 3;
        if (m_column >= 77) {
            m_out.Put("\\\n  ");
            m_column = 2;
        }
    }
    void Last(BYTE byte)
    {
        m_out.PutHex(byte);
        m_out.Put('\n');
    }

private:
    ScriptWriter& m_out;
    size_t m_column;
};

void PutHexData(ScriptWriter& out, size_t column, const BYTE* data, DWORD size)
{
    if (size == 0) {
        out.Put('\n');
        return;
    }
    HexBytes hex(out, column);
    for (DWORD i = 0; i + 1 < size; ++i)
        hex.Next(data[i]);
    hex.Last(data[size - 1]);
}

// A string's characters as their 8-bit bytes: the registry editor turns each
// byte of a hex(1), hex(2) or hex(7) line back into one 16-bit character.
void PutHexCharacters(ScriptWriter& out, size_t column, const wchar_t* text, size_t count)
{
    if (count == 0) {
        out.Put('\n');
        return;
    }
    const ScriptCharacters& characters = out.Characters();
    HexBytes hex(out, column);
    for (size_t i = 0; i + 1 < count; ++i)
        hex.Next((BYTE)characters.ByteOf(text[i]));
    hex.Last((BYTE)characters.ByteOf(text[count - 1]));
}

bool HasNul(const wchar_t* text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (text[i] == L'\0')
            return true;
    }
    return false;
}

// count characters, the last of them the final NUL when terminated. A
// string without NUL or line break inside can stand between quotes; any
// other goes as its characters' bytes, NULs included.
bool WriteStringLine(ScriptWriter& out, const wchar_t* name, size_t nameLength, DWORD type,
                     const wchar_t* text, size_t count, bool terminated)
{
    if (!out.Characters().AllHeld(text, count))
        return false;
    size_t length = terminated ? count - 1 : count;
    if (type == REG_SZ && count != 0 && !HasNul(text, length) && !HasLineBreak(text, length)) {
        PutFirstPart(out, name, nameLength, "");
        PutQuoted(out, text, length);
        out.Put('\n');
        return true;
    }
    char tag[8] = "hex(1):";
    tag[4] = (char)('0' + type);
    PutHexCharacters(out, PutFirstPart(out, name, nameLength, tag), text, count);
    return true;
}

} // namespace

bool WriteValueLine(ScriptWriter& out, const wchar_t* name, size_t nameLength, DWORD type,
                    const BYTE* data, DWORD size)
{
    if (HasLineBreak(name, nameLength) || !out.Characters().AllHeld(name, nameLength))
        return false;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ: {
        // Programs that store a string's characters without its NUL, or an
        // odd byte count, are common: the characters are carried, and the
        // registry may give them back with a NUL added. A half character
        // at the end has no 8-bit form and is dropped.
        const wchar_t* text = (const wchar_t*)data;
        size_t count = size / 2;
        return WriteStringLine(out, name, nameLength, type, text, count,
                               count != 0 && text[count - 1] == L'\0');
    }
    case REG_DWORD:
        if (size == 4) {
            PutFirstPart(out, name, nameLength, "dword:");
            for (int i = 3; i >= 0; --i)
                out.PutHex(data[i]);
            out.Put('\n');
        } else {
            // Eight digits would read bytes that are not there, or drop some.
            PutHexData(out, PutFirstPart(out, name, nameLength, "hex(4):"), data, size);
        }
        return true;
    case REG_BINARY:
        PutHexData(out, PutFirstPart(out, name, nameLength, "hex:"), data, size);
        return true;
    default:
        return false;
    }
}
