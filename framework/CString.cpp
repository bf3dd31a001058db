#include "CString.h"

#include <stdarg.h>
#include <strsafe.h>

#include <new>

CString::CString() : m_pText(NULL) {}

CString::CString(LPCWSTR text) : m_pText(NULL)
{
    *this = text;
}

CString::CString(const CString& other) : m_pText(NULL)
{
    *this = (LPCWSTR)other;
}

CString::~CString()
{
    delete[] m_pText;
}

CString& CString::operator=(const CString& other)
{
    return *this = (LPCWSTR)other;
}

CString& CString::operator=(LPCWSTR text)
{
    Assign(text, text != NULL ? lstrlenW(text) : 0);
    return *this;
}

// Copies before freeing, so that assigning a string to itself keeps it.
void CString::Assign(LPCWSTR text, size_t length)
{
    wchar_t* copy = NULL;
    if (length > 0) {
        copy = new (std::nothrow) wchar_t[length + 1];
        if (copy != NULL)
            StringCchCopyNW(copy, length + 1, text, length);
    }
    delete[] m_pText;
    m_pText = copy;
}

void CString::Format(LPCWSTR format, ...)
{
    wchar_t buffer[kMaxFormatted + 1];
    va_list arguments;
    va_start(arguments, format);
    HRESULT result = StringCchVPrintfW(buffer, kMaxFormatted + 1, format, arguments);
    va_end(arguments);
    *this = SUCCEEDED(result) ? buffer : L"";
}

void CString::LoadWindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    wchar_t* text = length > 0 ? new (std::nothrow) wchar_t[length + 1] : NULL;
    if (text == NULL) {
        *this = L"";
        return;
    }
    int copied = GetWindowTextW(window, text, length + 1);
    Assign(text, copied > 0 ? copied : 0);
    delete[] text;
}

int CString::GetLength() const
{
    return m_pText != NULL ? lstrlenW(m_pText) : 0;
}
