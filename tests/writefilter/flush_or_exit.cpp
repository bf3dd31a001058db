// Runs WriteFilterDevice::FlushOrExit with the access given as its argument
// and ends with 0 when the call returned, for tests that need the exit
// status of a process.
#include <windows.h>
#include <stdlib.h>

#include "WriteFilterDevice.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    WriteFilterDevice device;
    device.FlushOrExit(strtoul(argv[1], NULL, 0));
    return 0;
}
