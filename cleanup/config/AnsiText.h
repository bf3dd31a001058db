// Scans and comparisons of 8-bit text in the system's ANSI code page.
// A double-byte character is always one unit, so a trail byte that happens to
// look like "\", ";" or a Latin letter is never taken for that character.
#pragma once

#include <windows.h>

// The first character ch (a single-byte character) of the text, or NULL.
const char* FindChar(const char* pszText, char ch);

// The last character ch of the text, or NULL.
const char* FindLastChar(const char* pszText, char ch);

// The first place where pszWanted starts on a character boundary, or NULL.
const char* FindText(const char* pszText, const char* pszWanted);

// True when an upper-cased copy of the text holds the keyword (given in upper
// case). Only the first 259 characters of the text are searched.
bool ContainsKeyword(const char* pszText, const char* pszKeyword);

// Whole strings, case ignored, character by character. Upper-cased characters
// are compared by their code, not by a sort order, so two names that differ in
// anything but case (such as "ss" and a sharp s) never count as the same.
// A NULL text equals nothing.
bool SameText(const char* pszA, const char* pszB);

// When the text starts with pszLeading (case ignored, character by
// character, as SameText), the rest of the text after it; otherwise NULL.
const char* SkipLeadingText(const char* pszText, const char* pszLeading);

// The last "\" or "/" of the text, or NULL: the platform takes either for a
// separator of path parts.
const char* FindLastPathSeparator(const char* pszText);

// True when the whole name matches the wildcard pattern as the platform's
// search reads it: "*" stands for any run of characters, but one just before a
// dot or at a pattern's trailing dot never runs past the name's last dot ("*."
// is the names without an extension); "?" for one character other than a dot,
// or for nothing before a dot or at the end ("a?.txt" matches a.txt); a dot
// before "*" or "?" also matches the end ("name.*" matches name); "*.*"
// matches every name; anything else stands for itself, case ignored. Trailing
// dots and blanks of the pattern are dropped.
bool MatchesWildcard(const char* pszName, const char* pszPattern);

// True when the character at pChar is a letter or a digit of the code page.
bool IsLetterOrDigit(const char* pChar);

// True when the last character of the text is a backslash.
bool EndsWithBackslash(const char* pszText);

// True when a file name ends in a dot or a blank, which the platform drops
// from the last part of a path: such an entry cannot be reached by its name.
bool EndsInDotOrBlank(const char* pszName);
