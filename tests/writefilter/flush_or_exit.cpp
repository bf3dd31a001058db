// Flushes the write filter with the access given as its argument, as an
// unattended flush does (Stavix's restore), and ends with the exit status of
// what it came to: 0 flushed, 1 no device, -1 otherwise; for tests that need
// the exit status of a process.
#include <windows.h>
#include <stdlib.h>

#include "WriteFilterDevice.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    return WriteFilterDevice::ExitStatusOf(WriteFilterDevice().Flush(strtoul(argv[1], NULL, 0)));
}
