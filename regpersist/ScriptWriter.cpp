#include "ScriptWriter.h"

#include <string.h>

void ScriptWriter::Put(const char* text)
{
    Put(text, strlen(text));
}

void ScriptWriter::Put(const char* text, size_t length)
{
    while (length > 0) {
        if (m_used == sizeof(m_buffer))
            Flush();
        size_t part = sizeof(m_buffer) - m_used;
        if (part > length)
            part = length;
        memcpy(m_buffer + m_used, text, part);
        m_used += part;
        text += part;
        length -= part;
    }
}

void ScriptWriter::PutCharacters(const wchar_t* text, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        Put((char)m_characters.ByteOf(text[i]));
}

void ScriptWriter::PutHex(BYTE byte)
{
    static const char digits[] = "0123456789abcdef";
    Put(digits[byte >> 4]);
    Put(digits[byte & 15]);
}

bool ScriptWriter::Flush()
{
    if (m_used > 0 && fwrite(m_buffer, 1, m_used, m_stream) != m_used)
        m_failed = true;
    m_used = 0;
    return !m_failed;
}
