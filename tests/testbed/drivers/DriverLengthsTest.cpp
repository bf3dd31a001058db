// Every control code of both substitute drivers, with every input and every
// output length from 0 to 256 bytes: each call fails or answers within its
// output buffer, and the driver host lives on.
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <vector>

#include "DeviceCalls.h"
#include "SubstituteControl.h"

namespace {

const DWORD kMaxLength = 256;
const DWORD kGuard = 64;
const unsigned char kUntouched = 0xCD;

struct Sweep
{
    const wchar_t* device;
    DWORD code;
    std::vector<unsigned char> input;  // a valid input, padded with zeros
    DWORD inputLength;                 // the valid input length
    DWORD outputLength;                // the valid output length
    bool onlyExactInput;               // any other input length must fail
    std::function<void(const unsigned char* output)> afterSuccess;
};

std::vector<unsigned char> Bytes(const void* data, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

// Returns whether the call succeeded.
bool CallWithLengths(const Sweep& sweep, DWORD inputLength, DWORD outputLength)
{
    std::vector<unsigned char> input(kMaxLength, 0), output(kMaxLength + kGuard, kUntouched);
    memcpy(input.data(), sweep.input.data(), std::min<size_t>(sweep.input.size(), kMaxLength));
    ScopedHandle device(OpenDeviceForTest(sweep.device));
    EXPECT_TRUE(device.IsValid()) << "the driver host is gone";
    DWORD returned = 0;
    bool ok = Control(device.Get(), sweep.code, inputLength ? input.data() : NULL, inputLength,
                      outputLength ? output.data() : NULL, outputLength, &returned);
    SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << sweep.code << std::dec
                                    << ", input " << inputLength << ", output " << outputLength);
    if (ok) {
        EXPECT_LE(returned, outputLength);
        if (sweep.afterSuccess)
            sweep.afterSuccess(output.data());
    }
    for (DWORD i = outputLength; i < output.size(); ++i) {
        if (output[i] != kUntouched) {
            ADD_FAILURE() << "byte " << i << " past the output buffer was written";
            break;
        }
    }
    return ok;
}

void RunSweep(const Sweep& sweep)
{
    for (DWORD length = 0; length <= kMaxLength; ++length) {
        bool ok = CallWithLengths(sweep, length, sweep.outputLength);
        if (sweep.onlyExactInput && length != sweep.inputLength) {
            EXPECT_FALSE(ok) << std::hex << "code 0x" << sweep.code << std::dec << " took input "
                             << length;
        }
    }
    for (DWORD length = 0; length <= kMaxLength; ++length)
        CallWithLengths(sweep, sweep.inputLength, length);
}

class DriverLengthsTest : public testing::Test
{
protected:
    void TearDown() override
    {
        // Both drivers still answer, and come back to a quiet state.
        EXPECT_TRUE(SetFlashFaults(FlashTestFaults{}));
        FlashCallLog log;
        EXPECT_TRUE(TakeFlashCallLog(&log));
        WriteFilterTestState state = {};
        state.status.blocksTotal = 8192;
        EXPECT_TRUE(SetWriteFilterTestState(state));
    }
};

TEST_F(DriverLengthsTest, WriteFilterCodes)
{
    WriteFilterTestState state = {};
    state.status.blocksInUse = 1;
    state.status.blocksTotal = 8192;
    ASSERT_TRUE(SetWriteFilterTestState(state));
    for (DWORD code : { IOCTL_WRITE_FILTER_QUERY, IOCTL_WRITE_FILTER_FLUSH }) {
        Sweep sweep = { WRITE_FILTER_DEVICE_PATH, code, {}, 0, sizeof(WriteFilterStatus), false,
                        nullptr };
        RunSweep(sweep);
        // An answer needs room for the whole record.
        EXPECT_FALSE(CallWithLengths(sweep, 0, sizeof(WriteFilterStatus) - 1));
        EXPECT_TRUE(CallWithLengths(sweep, 0, sizeof(WriteFilterStatus)));
    }
    DeleteFileW(L"T:\\writefilter-flushes.log");

    Sweep set = { WRITE_FILTER_TEST_DEVICE_PATH, IOCTL_WRITE_FILTER_TEST_SET, Bytes(&state, sizeof(state)),
                  sizeof(state), 0, true, nullptr };
    RunSweep(set);
    Sweep get = { WRITE_FILTER_TEST_DEVICE_PATH, IOCTL_WRITE_FILTER_TEST_GET, {}, 0, sizeof(state),
                  false, nullptr };
    RunSweep(get);
}

TEST_F(DriverLengthsTest, FlashCodes)
{
    HANDLE flashForClose = OpenDeviceForTest(FLASH_DEVICE_PATH);
    ScopedHandle flash(flashForClose);
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "lengths", std::string(64, 'x')));
    auto closeOpened = [&](const unsigned char* output) {
        uint32_t handle;
        memcpy(&handle, output, sizeof(handle));
        CloseFlashFile(flash.Get(), handle);
    };

    FlashFileRequest openRequest = FlashRequest("lengths", 0);
    RunSweep({ FLASH_DEVICE_PATH, IOCTL_FLASH_FILE_OPEN, Bytes(&openRequest, sizeof(openRequest)),
               sizeof(openRequest), sizeof(uint32_t), true, closeOpened });

    // Read, write and info work on an open file whose handle stays valid.
    FlashFileRequest request = FlashRequest("lengths", FLASH_OPEN_FOR_WRITING);
    ASSERT_NE(OpenFlashFile(flash.Get(), &request), 0u);
    request.length = 16;
    for (DWORD code : { IOCTL_FLASH_FILE_READ, IOCTL_FLASH_FILE_WRITE })
        RunSweep({ FLASH_DEVICE_PATH, code, Bytes(&request, sizeof(request)), sizeof(request), 16,
                   true, nullptr });
    RunSweep({ FLASH_DEVICE_PATH, IOCTL_FLASH_FILE_INFO, Bytes(&request, sizeof(request)),
               sizeof(request), sizeof(FlashFileInfo), true, nullptr });
    RunSweep({ FLASH_DEVICE_PATH, IOCTL_FLASH_FILE_CLOSE, Bytes(&request.handle, 4), 4, 0, true,
               nullptr });

    FlashFileRequest deleteRequest = FlashRequest("lengths", 0);
    RunSweep({ FLASH_DEVICE_PATH, IOCTL_FLASH_FILE_DELETE, Bytes(&deleteRequest, sizeof(deleteRequest)),
               sizeof(deleteRequest), 0, true, nullptr });

    FlashTestFaults none = {};
    RunSweep({ FLASH_TEST_DEVICE_PATH, IOCTL_FLASH_TEST_SET_FAULTS, Bytes(&none, sizeof(none)),
               sizeof(none), 0, true, nullptr });
    RunSweep({ FLASH_TEST_DEVICE_PATH, IOCTL_FLASH_TEST_TAKE_LOG, {}, 0, kMaxLength, false,
               nullptr });
}

TEST_F(DriverLengthsTest, UnknownCodesAreRefused)
{
    for (const wchar_t* device : { WRITE_FILTER_DEVICE_PATH, WRITE_FILTER_TEST_DEVICE_PATH,
                                   FLASH_DEVICE_PATH, FLASH_TEST_DEVICE_PATH }) {
        for (DWORD code : { (DWORD)0x00072000, (DWORD)0x0007240C, (DWORD)IOCTL_FLASH_FILE_OPEN + 4,
                            (DWORD)IOCTL_WRITE_FILTER_TEST_SET + 0x100 }) {
            Sweep sweep = { device, code, {}, 0, 0, false, nullptr };
            EXPECT_FALSE(CallWithLengths(sweep, 128, 128));
            EXPECT_FALSE(CallWithLengths(sweep, 0, 0));
        }
    }
}

} // namespace
