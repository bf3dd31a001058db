#include "BenchOutput.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <strsafe.h>

void PrintLine(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    // A cut line is still terminated; the result is of no further use here.
    StringCchVPrintfA(line, sizeof line, format, args);
    va_end(args);
    fputs(line, stdout);
    fputs("\n", stdout);
    fflush(stdout);
}
