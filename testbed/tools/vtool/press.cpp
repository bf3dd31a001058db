// Presses a button of the visible top-level window with the given title, as
// a click would; an id with no control in that window goes to the window as
// a command (IDCANCEL for Escape). Does not wait for the window to answer.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "Verbs.h"

int RunPress(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: vtool press TITLE ID\n");
        return 2;
    }
    HWND window = FindWindowA(NULL, argv[0]);
    if (window == NULL || !IsWindowVisible(window)) {
        fprintf(stderr, "vtool press: no window \"%s\"\n", argv[0]);
        return 1;
    }
    int id = atoi(argv[1]);
    HWND button = GetDlgItem(window, id);
    BOOL posted = button != NULL ? PostMessageA(button, BM_CLICK, 0, 0)
                                 : PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return posted ? 0 : 1;
}
