#include "ScriptCharacters.h"

// A byte the code page cannot read alone (a lead byte of a double-byte
// character) reads back as no character at all.
static const wchar_t noCharacter = 0xFFFF;

ScriptCharacters::ScriptCharacters()
{
    for (int byte = 0; byte < 256; ++byte) {
        char text = (char)byte;
        wchar_t character;
        if (MultiByteToWideChar(CP_ACP, 0, &text, 1, &character, 1) != 1)
            character = noCharacter;
        m_readBack[byte] = character;
    }
}

int ScriptCharacters::ByteOf(wchar_t c) const
{
    if (c < 0x80 && m_readBack[c] == c)
        return c;
    char text;
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, &c, 1, &text, 1, NULL, &usedDefault) != 1 || usedDefault)
        return -1;
    BYTE byte = (BYTE)text;
    return m_readBack[byte] == c ? byte : -1;
}

bool ScriptCharacters::AllHeld(const wchar_t* text, size_t count) const
{
    for (size_t i = 0; i < count; ++i) {
        if (ByteOf(text[i]) < 0)
            return false;
    }
    return true;
}
