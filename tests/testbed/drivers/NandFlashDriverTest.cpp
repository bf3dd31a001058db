// The substitute NAND flash device: its file interface over the store on
// drive T:, and the faults tests inject into it.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceCalls.h"
#include "SubstituteControl.h"

namespace {

class NandFlashDriverTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(flash.IsValid()) << GetLastError();
        FlashCallLog log;
        TakeFlashCallLog(&log);
    }
    void TearDown() override { SetFlashFaults(FlashTestFaults{}); }

    static std::vector<FlashCall> Calls()
    {
        static FlashCallLog log;
        EXPECT_TRUE(TakeFlashCallLog(&log)) << GetLastError();
        return std::vector<FlashCall>(log.calls, log.calls + log.count);
    }

    ScopedHandle flash{ OpenDeviceForTest(FLASH_DEVICE_PATH) };
};

std::string Pattern(size_t size)
{
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = (char)(i * 7 + i / 251);
    return text;
}

TEST_F(NandFlashDriverTest, WrittenFileReadsBackWholeInChunks)
{
    for (size_t size : { 0, 1, 1023, 1024, 2500 }) {
        std::string content = Pattern(size), back;
        ASSERT_TRUE(WriteFlashFile(flash.Get(), "chunks.bin", content)) << size;
        ASSERT_TRUE(ReadFlashFile(flash.Get(), "chunks.bin", &back)) << size;
        EXPECT_EQ(back, content) << size;
    }
}

TEST_F(NandFlashDriverTest, WriteOpenReplacesAnOldFile)
{
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "replaced", "a longer first version"));
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "replaced", "short"));
    std::string back;
    ASSERT_TRUE(ReadFlashFile(flash.Get(), "replaced", &back));
    EXPECT_EQ(back, "short");
}

TEST_F(NandFlashDriverTest, ReadingAMissingNameFailsAndDeleteRemovesAFile)
{
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "doomed", "x"));
    FlashFileRequest request = FlashRequest("doomed", 0);
    DWORD returned;
    EXPECT_TRUE(Control(flash.Get(), IOCTL_FLASH_FILE_DELETE, &request, sizeof(request), NULL, 0,
                        &returned));
    EXPECT_EQ(GetFileAttributesW(StoreFile("doomed").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(OpenFlashFile(flash.Get(), &request), 0u);
    EXPECT_FALSE(Control(flash.Get(), IOCTL_FLASH_FILE_DELETE, &request, sizeof(request), NULL, 0,
                         &returned));
}

TEST_F(NandFlashDriverTest, InfoGivesTheStoreFilesSizeAndTimes)
{
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "described", Pattern(3000)));
    FILETIME created = { 0x11111111, 0x01D00000 }, accessed = { 0x22222222, 0x01D10000 },
             written = { 0x33333333, 0x01D20000 };
    {
        ScopedHandle host(CreateFileW(StoreFile("described").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                      NULL, OPEN_EXISTING, 0, NULL));
        ASSERT_TRUE(host.IsValid());
        ASSERT_TRUE(SetFileTime(host.Get(), &created, &accessed, &written));
    }
    FlashFileRequest request = FlashRequest("described", 0);
    ASSERT_NE(OpenFlashFile(flash.Get(), &request), 0u);
    FlashFileInfo info;
    DWORD returned;
    ASSERT_TRUE(Control(flash.Get(), IOCTL_FLASH_FILE_INFO, &request, sizeof(request), &info,
                        sizeof(info), &returned));
    CloseFlashFile(flash.Get(), request.handle);
    EXPECT_EQ(returned, sizeof(info));
    EXPECT_EQ(info.sizeHigh, 0u);
    EXPECT_EQ(info.sizeLow, 3000u);
    EXPECT_EQ(info.lastWriteTime.low, written.dwLowDateTime);
    EXPECT_EQ(info.lastWriteTime.high, written.dwHighDateTime);
    EXPECT_EQ(info.lastAccessTime.high, accessed.dwHighDateTime);
    // Unix keeps no creation time; Wine gives the oldest it knows.
    EXPECT_NE(info.creationTime.high, 0u);
}

TEST_F(NandFlashDriverTest, NamesThatCouldLeaveTheStoreAreRefused)
{
    const char* names[] = { "", "..", ".", "a\\b", "a/b", "..\\session.trace", "c:x",
                            "trailing.", "trailing ", "star*", "tab\t" };
    for (const char* name : names) {
        FlashFileRequest request = FlashRequest(name, FLASH_OPEN_FOR_WRITING);
        EXPECT_EQ(OpenFlashFile(flash.Get(), &request), 0u) << "\"" << name << "\"";
    }
    FlashFileRequest unterminated = FlashRequest("", FLASH_OPEN_FOR_WRITING);
    memset(unterminated.name, 'n', sizeof(unterminated.name));
    EXPECT_EQ(OpenFlashFile(flash.Get(), &unterminated), 0u);

    std::string longest(FLASH_NAME_SIZE - 1, 'L');
    EXPECT_TRUE(WriteFlashFile(flash.Get(), longest.c_str(), "fits"));
}

TEST_F(NandFlashDriverTest, EachCallCanBeMadeToFail)
{
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "victim", "data"));
    const uint32_t bits[] = { FLASH_CALL_OPEN, FLASH_CALL_CLOSE, FLASH_CALL_DELETE,
                              FLASH_CALL_READ, FLASH_CALL_WRITE, FLASH_CALL_INFO };
    const DWORD codes[] = { IOCTL_FLASH_FILE_OPEN, IOCTL_FLASH_FILE_CLOSE, IOCTL_FLASH_FILE_DELETE,
                            IOCTL_FLASH_FILE_READ, IOCTL_FLASH_FILE_WRITE, IOCTL_FLASH_FILE_INFO };
    for (int i = 0; i < 6; ++i) {
        FlashFileRequest request = FlashRequest("victim", FLASH_OPEN_FOR_WRITING);
        ASSERT_NE(OpenFlashFile(flash.Get(), &request), 0u);
        ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ bits[i], 0, 0, 0 }));

        char buffer[64] = {};
        request.length = 4;
        DWORD returned;
        const void* input = codes[i] == IOCTL_FLASH_FILE_CLOSE ? (const void*)&request.handle
                                                               : (const void*)&request;
        DWORD inputLength = codes[i] == IOCTL_FLASH_FILE_CLOSE ? 4 : sizeof(request);
        DWORD outputLength = codes[i] == IOCTL_FLASH_FILE_INFO ? sizeof(FlashFileInfo) : 4;
        EXPECT_FALSE(Control(flash.Get(), codes[i], input, inputLength, buffer, outputLength,
                             &returned)) << "call " << i;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_GEN_FAILURE);

        ASSERT_TRUE(SetFlashFaults(FlashTestFaults{}));
        CloseFlashFile(flash.Get(), request.handle);
    }
    EXPECT_NE(GetFileAttributesW(StoreFile("victim").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(NandFlashDriverTest, ShortCountsAndALargeSizeAreReportedAsSet)
{
    std::string content = Pattern(100);
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "short", content));
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "short-open", content));
    FlashFileRequest request = FlashRequest("short", 0);
    ASSERT_NE(OpenFlashFile(flash.Get(), &request), 0u);
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ 0, 3, 1, 0 }));

    // The caller gets only the bytes reported; the log knows the handle.
    FlashFileRequest second = FlashRequest("short-open", 0);
    DWORD returned;
    Calls();
    ASSERT_TRUE(Control(flash.Get(), IOCTL_FLASH_FILE_OPEN, &second, sizeof(second),
                        &second.handle, 4, &returned));
    EXPECT_EQ(returned, 1u);
    std::vector<FlashCall> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    CloseFlashFile(flash.Get(), calls[0].handle);

    FlashFileInfo info;
    ASSERT_TRUE(Control(flash.Get(), IOCTL_FLASH_FILE_INFO, &request, sizeof(request), &info,
                        sizeof(info), &returned));
    EXPECT_EQ(returned, sizeof(info) - 3);
    EXPECT_EQ(info.sizeHigh, 1u);
    EXPECT_EQ(info.sizeLow, 100u);
    char chunk[100];
    request.length = sizeof(chunk);
    ASSERT_TRUE(Control(flash.Get(), IOCTL_FLASH_FILE_READ, &request, sizeof(request), chunk,
                        sizeof(chunk), &returned));
    EXPECT_EQ(returned, 97u);
    EXPECT_EQ(std::string(chunk, sizeof(chunk)), content);
    CloseFlashFile(flash.Get(), request.handle);
}

TEST_F(NandFlashDriverTest, CallsAreLoggedInOrder)
{
    ASSERT_TRUE(WriteFlashFile(flash.Get(), "logged", Pattern(2500)));
    std::vector<FlashCall> calls = Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].code, IOCTL_FLASH_FILE_OPEN);
    uint32_t handle = calls[1].handle;
    const uint32_t lengths[] = { 1024, 1024, 452 };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(calls[1 + i].code, IOCTL_FLASH_FILE_WRITE);
        EXPECT_EQ(calls[1 + i].requestLength, lengths[i]);
        EXPECT_EQ(calls[1 + i].information, lengths[i]);
        EXPECT_EQ(calls[1 + i].handle, handle);
    }
    EXPECT_EQ(calls[4].code, IOCTL_FLASH_FILE_CLOSE);
    EXPECT_EQ(calls[4].handle, handle);
    EXPECT_EQ(calls[4].status, 0);
}

TEST_F(NandFlashDriverTest, HiddenDeviceLeavesTheVolumeWhichRefusesTheCalls)
{
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ 0, 0, 0, 1 }));
    EXPECT_EQ(OpenDeviceForTest(FLASH_DEVICE_PATH), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);

    ScopedHandle volume(OpenDeviceForTest(FLASH_VOLUME_PATH));
    ASSERT_TRUE(volume.IsValid()) << GetLastError();
    FlashFileRequest request = FlashRequest("anything", FLASH_OPEN_FOR_WRITING);
    EXPECT_EQ(OpenFlashFile(volume.Get(), &request), 0u);
    FlashFileInfo info;
    DWORD returned;
    EXPECT_FALSE(Control(volume.Get(), IOCTL_FLASH_FILE_INFO, &request, sizeof(request), &info,
                         sizeof(info), &returned));

    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{}));
    ScopedHandle back(OpenDeviceForTest(FLASH_DEVICE_PATH));
    EXPECT_TRUE(back.IsValid());
}

} // namespace
