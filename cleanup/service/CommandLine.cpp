#include "CommandLine.h"

LPSTR NextSwitch(LPSTR text, LPCSTR switchChars)
{
    if (text == NULL)
        return NULL;
    for (; *text != '\0'; text = CharNextA(text)) {
        for (LPCSTR candidate = switchChars; *candidate != '\0'; candidate = CharNextA(candidate)) {
            if (*text == *candidate)
                return CharNextA(text);
        }
    }
    return NULL;
}

bool SwitchIs(LPCSTR text, LPCSTR word)
{
    // Over the word's length only, so "-Debugging" counts as "-Debug". A text
    // shorter than the word differs at its terminator.
    int length = lstrlenA(word);
    int textLength = 0;
    while (textLength < length && text[textLength] != '\0')
        ++textLength;
    if (textLength < length)
        return false;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text, length, word, length) == CSTR_EQUAL;
}
