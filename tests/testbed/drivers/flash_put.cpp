// Writes a flash file through the flash device: flash_put NAME TEXT. For
// tests that drive a terminal from outside.
#include <windows.h>

#include "DeviceCalls.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    ScopedHandle flash(OpenDeviceForTest(FLASH_DEVICE_PATH));
    return flash.IsValid() && WriteFlashFile(flash.Get(), argv[1], argv[2]) ? 0 : 1;
}
