#include "SubstituteControl.h"

#include "ScopedHandle.h"

namespace {

bool Control(const wchar_t* path, DWORD code, const void* input, DWORD inputLength, void* output,
             DWORD outputLength)
{
    ScopedHandle device(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                    OPEN_EXISTING, 0, NULL));
    if (!device.IsValid())
        return false;
    DWORD returned = 0;
    if (!DeviceIoControl(device.Get(), code, const_cast<void*>(input), inputLength, output,
                         outputLength, &returned, NULL))
        return false;
    if (returned != outputLength) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

} // namespace

bool SetWriteFilterTestState(const WriteFilterTestState& state)
{
    return Control(WRITE_FILTER_TEST_DEVICE_PATH, IOCTL_WRITE_FILTER_TEST_SET, &state,
                   sizeof(state), NULL, 0);
}

bool GetWriteFilterTestState(WriteFilterTestState* state)
{
    return Control(WRITE_FILTER_TEST_DEVICE_PATH, IOCTL_WRITE_FILTER_TEST_GET, NULL, 0, state,
                   sizeof(*state));
}

bool SetFlashFaults(const FlashTestFaults& faults)
{
    return Control(FLASH_TEST_DEVICE_PATH, IOCTL_FLASH_TEST_SET_FAULTS, &faults, sizeof(faults),
                   NULL, 0);
}

bool TakeFlashCallLog(FlashCallLog* log)
{
    return Control(FLASH_TEST_DEVICE_PATH, IOCTL_FLASH_TEST_TAKE_LOG, NULL, 0, log, sizeof(*log));
}
