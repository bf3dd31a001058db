// Entry point of a shipped ANSI program: runs WinMain with the system's
// arguments. The linker's -e names it (_start@0 on i686, start on x86_64).
#include "ProgramStart.h"

extern "C" void __stdcall start(void)
{
    RunStaticConstructors();
    ExitProgram(WinMain(GetModuleHandleA(NULL), NULL, CommandTail(GetCommandLineA()),
                        StartupShowCommand()));
}
