// Prints "X Y WIDTH HEIGHT" of the visible top-level window with the given
// title, waiting up to SECONDS (default 10) for it to appear.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "Verbs.h"

int RunWindow(int argc, char** argv)
{
    if (argc < 1 || argc > 2) {
        fprintf(stderr, "usage: vtool window TITLE [SECONDS]\n");
        return 2;
    }
    DWORD waitMs = (argc == 2 ? strtoul(argv[1], NULL, 10) : 10) * 1000;
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(NULL, argv[0]);
        RECT rect;
        if (window != NULL && IsWindowVisible(window) && GetWindowRect(window, &rect)) {
            printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            return 0;
        }
        if (GetTickCount() - start >= waitMs)
            break;
        Sleep(100);
    }
    fprintf(stderr, "vtool window: no window \"%s\"\n", argv[0]);
    return 1;
}
