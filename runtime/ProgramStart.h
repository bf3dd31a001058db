// The pieces of the programs' own start-up that both entry points share.
// The toolchain's start-up is not linked into a shipped program: it holds
// instructions that the terminal's Pentium-class processors lack.
#pragma once

#include <windows.h>

// Prepares the locks the runtime needs, then runs the static constructors in
// the order the linker placed them.
void RunStaticConstructors();

// The nShowCmd a WinMain gets: what the starting process asked for in
// STARTUPINFO, or SW_SHOWDEFAULT.
int StartupShowCommand();

// Runs the exit handlers (last registered first) and the static destructors,
// then ends the process with the given status.
[[noreturn]] void ExitProgram(int status);

// A character's code: a byte above 127 is a character, never a blank.
inline unsigned CharCode(char c)
{
    return (unsigned char)c;
}

inline unsigned CharCode(wchar_t c)
{
    return c;
}

// The command line without the program's name, as WinMain gets it: the name
// ends at the first blank outside double quotes, and the blanks after it are
// skipped. Neither '"' nor a blank can be the second byte of a double-byte
// character, so the ANSI text needs no double-byte care here.
template <class Char>
Char* CommandTail(Char* commandLine)
{
    Char* text = commandLine;
    bool quoted = false;
    while (CharCode(*text) > ' ' || (*text != 0 && quoted)) {
        if (*text == '"')
            quoted = !quoted;
        ++text;
    }
    while (*text != 0 && CharCode(*text) <= ' ')
        ++text;
    return text;
}
