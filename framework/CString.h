// A small UTF-16 string with value semantics: the text members of the
// panel's dialogs and the lines it formats.
#pragma once

#include <windows.h>

class CString
{
public:
    CString();
    CString(LPCWSTR text);
    CString(const CString& other);
    ~CString();
    CString& operator=(const CString& other);
    CString& operator=(LPCWSTR text);

    // Formats with msvcrt's bounded formatting; a result longer than
    // kMaxFormatted characters is refused and leaves the string empty.
    void Format(LPCWSTR format, ...);
    // Takes the text of a window, whatever its length.
    void LoadWindowText(HWND window);

    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    operator LPCWSTR() const { return m_pText != NULL ? m_pText : L""; }

    static const size_t kMaxFormatted = 512;

private:
    void Assign(LPCWSTR text, size_t length);

    wchar_t* m_pText;
};
