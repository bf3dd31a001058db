// Flash transfers against the substitute NAND flash driver: the calls it
// logged, and each result code from a real cause through its fault
// injection.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FlashCommit.h"
#include "StatusRecord.h"
#include "StavixTestSupport.h"
#include "SubstituteControl.h"

namespace {

struct Call
{
    DWORD code;
    uint32_t length;
};

class FlashCommitTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearFlash();
        Calls();
    }
    void TearDown() override { SetFlashFaults(FlashTestFaults{}); }

    static void Faults(uint32_t failingCalls, uint32_t shortCountBy = 0, uint32_t sizeHigh = 0,
                       uint32_t hidden = 0)
    {
        ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ failingCalls, shortCountBy, sizeHigh, hidden }));
    }
    // The calls since the last look: code, and the request's length for
    // reads and writes. Every call after an open names the handle it gave.
    static std::vector<Call> Calls()
    {
        static FlashCallLog log;
        EXPECT_TRUE(TakeFlashCallLog(&log)) << GetLastError();
        std::vector<Call> calls;
        uint32_t handle = 0;
        for (uint32_t i = 0; i < log.count; ++i) {
            const FlashCall& call = log.calls[i];
            // A call that failed by injection was logged before its request
            // was read.
            bool failed = call.status != 0;
            if (call.code == IOCTL_FLASH_FILE_OPEN) {
                handle = call.handle;
            } else if (call.code != IOCTL_FLASH_FILE_DELETE && !failed) {
                EXPECT_EQ(call.handle, handle) << "call " << i;
            }
            bool moves = call.code == IOCTL_FLASH_FILE_READ || call.code == IOCTL_FLASH_FILE_WRITE;
            calls.push_back(Call{ call.code, moves && !failed ? call.requestLength : 0 });
        }
        return calls;
    }
    static std::string Pattern(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = (char)(i * 13 + i / 256);
        return bytes;
    }
};

const DWORD OPEN = IOCTL_FLASH_FILE_OPEN, CLOSE = IOCTL_FLASH_FILE_CLOSE,
            READ = IOCTL_FLASH_FILE_READ, WRITE = IOCTL_FLASH_FILE_WRITE,
            INFO = IOCTL_FLASH_FILE_INFO, DELETE_ = IOCTL_FLASH_FILE_DELETE;

void ExpectCalls(const std::vector<Call>& calls, const std::vector<Call>& expected)
{
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].code, expected[i].code) << "call " << i;
        EXPECT_EQ(calls[i].length, expected[i].length) << "call " << i;
    }
}

TEST_F(FlashCommitTest, FilesMoveInChunksOf1024AndBackWithTheirTimes)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\chunks.bin", Pattern(2500)));
    EXPECT_EQ(CopyFileToFlash(L"Z:\\chunks.bin", L"chunks.bin"), 0);
    ExpectCalls(Calls(), { { OPEN, 0 }, { WRITE, 1024 }, { WRITE, 1024 }, { WRITE, 452 }, { CLOSE, 0 } });
    EXPECT_TRUE(FlashFile(L"chunks.bin") == Pattern(2500));

    FILETIME accessed = { 0x22222222, 0x01D10000 }, written = { 0x33333333, 0x01D20000 };
    {
        HANDLE store = CreateFileW(FlashStoreFile(L"chunks.bin").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                   NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(store, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(store, NULL, &accessed, &written));
        CloseHandle(store);
    }
    Calls();
    EXPECT_EQ(CopyFileFromFlash(L"chunks.bin", L"Z:\\back.bin"), 0);
    ExpectCalls(Calls(), { { OPEN, 0 }, { INFO, 0 }, { READ, 1024 }, { READ, 1024 }, { READ, 452 }, { CLOSE, 0 } });
    // Times first: reading the copy renews its access time.
    WIN32_FILE_ATTRIBUTE_DATA local;
    ASSERT_TRUE(GetFileAttributesExW(L"Z:\\back.bin", GetFileExInfoStandard, &local));
    EXPECT_EQ(CompareFileTime(&local.ftLastWriteTime, &written), 0);
    EXPECT_EQ(CompareFileTime(&local.ftLastAccessTime, &accessed), 0);
    EXPECT_TRUE(ReadBytes(L"Z:\\back.bin") == Pattern(2500));

    ASSERT_TRUE(WriteBytes(L"Z:\\empty.bin", ""));
    EXPECT_EQ(CopyFileToFlash(L"Z:\\empty.bin", L"empty"), 0);
    ExpectCalls(Calls(), { { OPEN, 0 }, { CLOSE, 0 } });
    EXPECT_EQ(CopyFileFromFlash(L"empty", L"Z:\\empty-back.bin"), 0);
    EXPECT_EQ(ReadBytes(L"Z:\\empty-back.bin"), "");
}

TEST_F(FlashCommitTest, NamesFitTheRequestUpTo99Characters)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\named.bin", "named"));
    std::wstring longest(99, L'n'), tooLong(100, L'n');
    EXPECT_EQ(CopyFileToFlash(L"Z:\\named.bin", longest.c_str()), 0);
    EXPECT_EQ(FlashFile(longest), "named");
    Calls();
    EXPECT_EQ(CopyFileToFlash(L"Z:\\named.bin", tooLong.c_str()), 99);
    EXPECT_EQ(CopyFileFromFlash(tooLong.c_str(), L"Z:\\named-back.bin"), 99);
    EXPECT_EQ(DeleteFlashFile(tooLong.c_str()), 99);
    EXPECT_TRUE(Calls().empty());
    EXPECT_FALSE(FileExists(L"Z:\\named-back.bin"));
    EXPECT_EQ(DeleteFlashFile(longest.c_str()), 0);
    EXPECT_FALSE(OnFlash(longest));
    EXPECT_EQ(DeleteFlashFile(longest.c_str()), 16);
}

TEST_F(FlashCommitTest, EachFailureOfACopyToFlashHasItsResult)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\source.bin", Pattern(1500)));
    Faults(FLASH_CALL_OPEN);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"out"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 } });

    Faults(FLASH_CALL_WRITE);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"out"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 }, { WRITE, 0 }, { CLOSE, 0 } });

    Faults(0);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\missing.bin", L"out"), 6);
    ExpectCalls(Calls(), { { OPEN, 0 }, { CLOSE, 0 } });

    // A short count from the open call leaves no whole handle to close:
    // that file stays open in the driver, so it gets a name of its own.
    Faults(0, 1);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"short-open"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 } });

    // The volume the program falls back to refuses the flash calls.
    Faults(0, 0, 0, 1);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"out"), 16);
    EXPECT_EQ(CopyFileFromFlash(L"out", L"Z:\\out.bin"), 16);
    EXPECT_EQ(DeleteFlashFile(L"out"), 16);
    Faults(0);

    // A kernel file that claims 4096 bytes and ends after a few: the copy
    // ends at the first empty read instead of asking again forever.
    const wchar_t shortFile[] = L"\\\\?\\unix\\sys\\kernel\\mm\\transparent_hugepage\\enabled";
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (GetFileAttributesExW(shortFile, GetFileExInfoStandard, &attributes) &&
        attributes.nFileSizeLow > ReadBytes(shortFile).size()) {
        Calls();
        EXPECT_EQ(CopyFileToFlash(shortFile, L"short"), 99);
        std::vector<Call> calls = Calls();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[1].length, ReadBytes(shortFile).size());
        EXPECT_EQ(calls[2].code, CLOSE);
    } else {
        ADD_FAILURE() << "no kernel file shorter than its size on this machine";
    }
}

TEST_F(FlashCommitTest, EachFailureOfACopyFromFlashHasItsResult)
{
    ASSERT_TRUE(PutOnFlash(L"in", Pattern(1500)));
    Calls();
    EXPECT_EQ(CopyFileFromFlash(L"not-there", L"Z:\\in.bin"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 } });

    Faults(FLASH_CALL_INFO);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 }, { INFO, 0 }, { CLOSE, 0 } });

    DeleteFileW(L"Z:\\in.bin");
    Faults(0, 0, 1);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 99);
    ExpectCalls(Calls(), { { OPEN, 0 }, { INFO, 0 }, { CLOSE, 0 } });
    EXPECT_FALSE(FileExists(L"Z:\\in.bin"));

    Faults(FLASH_CALL_READ);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 }, { INFO, 0 }, { READ, 0 }, { CLOSE, 0 } });

    Faults(0);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\no such folder\\in.bin"), 6);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 0);
    EXPECT_TRUE(ReadBytes(L"Z:\\in.bin") == Pattern(1500));

    // Short counts: the open call's keeps the file open in the driver.
    Calls();
    Faults(0, 2);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 16);
    ExpectCalls(Calls(), { { OPEN, 0 } });
}

TEST_F(FlashCommitTest, StatusRecordGoesToZAndFlashAndReadsBack)
{
    EXPECT_TRUE(WriteStatusRecord("err:0,flush:1"));
    EXPECT_EQ(ReadBytes(L"Z:\\info"), "err:0,flush:1");
    EXPECT_EQ(FlashFile(L"info"), "err:0,flush:1");
    char text[260] = "stale";
    EXPECT_TRUE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "err:0,flush:1");

    ASSERT_TRUE(WriteBytes(L"Z:\\info", "err:16,flush:0\r\nmore"));
    EXPECT_TRUE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "err:16,flush:0");
    ASSERT_TRUE(WriteBytes(L"Z:\\info", ""));
    EXPECT_FALSE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "");
    ASSERT_TRUE(DeleteFileW(L"Z:\\info"));
    strcpy(text, "stale");
    EXPECT_FALSE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "");
}

} // namespace
