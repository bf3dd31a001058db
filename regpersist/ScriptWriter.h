// The registry script as it is written: 8-bit text through a text-mode
// stream, which turns each line feed into CR LF. Writes are gathered here,
// since a script of many thousand values is written a few bytes at a time.
#pragma once

#include <stdio.h>
#include <windows.h>

#include "ScriptCharacters.h"

class ScriptWriter
{
public:
    explicit ScriptWriter(FILE* stream) : m_stream(stream), m_used(0), m_failed(false) {}
    ~ScriptWriter() { Flush(); }
    ScriptWriter(const ScriptWriter&) = delete;
    ScriptWriter& operator=(const ScriptWriter&) = delete;

    void Put(char c)
    {
        if (m_used == sizeof(m_buffer))
            Flush();
        m_buffer[m_used++] = c;
    }
    void Put(const char* text);
    void Put(const char* text, size_t length);
    // Each character as its script byte; callers check AllHeld first.
    void PutCharacters(const wchar_t* text, size_t count);
    // Two lower-case hexadecimal digits.
    void PutHex(BYTE byte);
    // Hands what is gathered to the stream; false once any write failed.
    bool Flush();

    const ScriptCharacters& Characters() const { return m_characters; }

private:
    FILE* m_stream;
    size_t m_used;
    bool m_failed;
    ScriptCharacters m_characters;
    char m_buffer[8192];
};
