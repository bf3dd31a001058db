// Asks CanCleanDir about each argument from the folder this copy lies in, so
// that a test can try spellings of the program's own folder. The exit status
// has bit i set when argument i + 1 was accepted.
#include <windows.h>

#include "engine/FileActions.h"

int main(int argc, char** argv)
{
    int accepted = 0;
    for (int i = 1; i < argc && i <= 30; ++i) {
        if (CanCleanDir(argv[i]))
            accepted |= 1 << (i - 1);
    }
    return accepted;
}
