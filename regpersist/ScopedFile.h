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
    // False when a write failed or the data could not be flushed. The
    // terminal's C run-time returns 0 from fclose even when its own final
    // flush failed (a full drive): only fflush and the error flag tell.
    bool Close()
    {
        bool written = fflush(m_file) == 0;
        written = ferror(m_file) == 0 && written;
        written = fclose(m_file) == 0 && written;
        m_file = NULL;
        return written;
    }

private:
    FILE* m_file;
};
