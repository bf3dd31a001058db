// The registry script is 8-bit text, and the registry editor reads it in the
// system's code page. A character goes into the script only as a byte that
// reads back as that same character: any other byte would import as another
// name or text.
#pragma once

#include <windows.h>

class ScriptCharacters
{
public:
    ScriptCharacters();

    // The byte that stands for c, or -1 when the script cannot hold c.
    int ByteOf(wchar_t c) const;
    // True when every one of the count characters has a byte.
    bool AllHeld(const wchar_t* text, size_t count) const;

private:
    wchar_t m_readBack[256]; // what each byte reads back as
};
