// Owns a C runtime stream and closes it when the scope ends, unless Close
// has already done so and told whether everything reached the file.
#pragma once

#include <stdio.h>

class ScopedFile
{
public:
    ScopedFile(const char* path, const char* mode) : m_file(fopen(path, mode)) {}
    ~ScopedFile()
    {
        if (m_file != NULL)
            fclose(m_file);
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

    bool IsOpen() const { return m_file != NULL; }
    FILE* Get() const { return m_file; }
    // False when a write failed or the data could not be flushed.
    bool Close()
    {
        bool written = ferror(m_file) == 0;
        written = fclose(m_file) == 0 && written;
        m_file = NULL;
        return written;
    }

private:
    FILE* m_file;
};
