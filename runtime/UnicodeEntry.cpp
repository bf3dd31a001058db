// Entry point of a shipped Unicode program: runs wWinMain with the system's
// arguments. The linker's -e names it (_start@0 on i686, start on x86_64).
#include "ProgramStart.h"

extern "C" void __stdcall start(void)
{
    RunStaticConstructors();
    ExitProgram(wWinMain(GetModuleHandleW(NULL), NULL, CommandTail(GetCommandLineW()),
                         StartupShowCommand()));
}
