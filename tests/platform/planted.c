/* A program with one planted fault that the platform floor check must find,
 * chosen by a PLANT_ macro; without one it passes the check. Its own entry
 * point and kernel32 alone, like a shipped program's start-up. */
#include <windows.h>

#if defined(PLANT_SHLWAPI)
#include <shlwapi.h>
#endif

void __stdcall start(void)
{
    UINT status = 0;
#if defined(PLANT_GETTICKCOUNT64)
    status = (UINT)GetTickCount64();
#elif defined(PLANT_SHLWAPI)
    status = PathIsRelativeA("C:\\");
#elif defined(PLANT_CMOV)
    UINT one = 1;
    __asm__ volatile("test %1, %1\n\tcmovnz %1, %0" : "+r"(status) : "r"(one));
#endif
    ExitProcess(status);
}
