// A byte buffer on the process heap that grows on request and keeps its
// contents' alignment suitable for 16-bit characters.
#pragma once

#include <windows.h>

#include <string.h>

class HeapBuffer
{
public:
    HeapBuffer() : m_bytes(NULL), m_size(0) {}
    ~HeapBuffer()
    {
        if (m_bytes != NULL)
            HeapFree(GetProcessHeap(), 0, m_bytes);
    }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;

    // Makes room for at least size bytes; the contents are not kept. False
    // when the heap has no such block; the buffer then stays as it was.
    bool Reserve(DWORD size)
    {
        if (size <= m_size && m_bytes != NULL)
            return true;
        void* bytes = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
        if (bytes == NULL)
            return false;
        if (m_bytes != NULL)
            HeapFree(GetProcessHeap(), 0, m_bytes);
        m_bytes = (BYTE*)bytes;
        m_size = size;
        return true;
    }
    // Makes room for at least size bytes and keeps the contents; grows at
    // least twofold, so that a buffer grown a little at a time is seldom
    // copied. False when the heap has no such block; the buffer then stays
    // as it was.
    bool Grow(DWORD size)
    {
        if (size <= m_size && m_bytes != NULL)
            return true;
        if (size < m_size * 2)
            size = m_size * 2;
        void* bytes = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
        if (bytes == NULL)
            return false;
        if (m_bytes != NULL) {
            memcpy(bytes, m_bytes, m_size);
            HeapFree(GetProcessHeap(), 0, m_bytes);
        }
        m_bytes = (BYTE*)bytes;
        m_size = size;
        return true;
    }
    BYTE* Bytes() const { return m_bytes; }
    DWORD Size() const { return m_size; }

private:
    BYTE* m_bytes;
    DWORD m_size;
};
