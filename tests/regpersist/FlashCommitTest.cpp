// Flash transfers against the substitute NAND flash driver: the calls it
// logged, and each result code from a real cause through its fault injection.
#include <windows.h>
#include <gtest/gtest.h>

#include "FlashCommit.h"
#include "StatusRecord.h"
#include "StavixTestSupport.h"
#include "SubstituteControl.h"

namespace {

class FlashCommitTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearFlash();
        Calls();
    }
    void TearDown() override { Faults(0); }

    static void Faults(uint32_t failing, uint32_t shortCountBy = 0, uint32_t sizeHigh = 0, uint32_t hidden = 0)
    {
        ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ failing, shortCountBy, sizeHigh, hidden }));
    }
    // The calls since the last look, as "open write1024 close": reads and
    // writes with the request's length. A call that names another handle
    // than the last open gave is marked "(other handle)"; one that failed by
    // injection was logged before its request was read, and shows as such.
    static std::string Calls()
    {
        static FlashCallLog log;
        EXPECT_TRUE(TakeFlashCallLog(&log));
        std::string calls;
        uint32_t handle = 0;
        for (uint32_t i = 0; i < log.count; ++i) {
            const FlashCall& call = log.calls[i];
            switch (call.code) {
            case IOCTL_FLASH_FILE_OPEN: calls += " open"; handle = call.handle; break;
            case IOCTL_FLASH_FILE_CLOSE: calls += " close"; break;
            case IOCTL_FLASH_FILE_INFO: calls += " info"; break;
            case IOCTL_FLASH_FILE_DELETE: calls += " delete"; continue;
            case IOCTL_FLASH_FILE_READ: calls += " read"; break;
            default: calls += " write";
            }
            if (call.status != 0)
                calls += "(failed)";
            else if (call.code == IOCTL_FLASH_FILE_READ || call.code == IOCTL_FLASH_FILE_WRITE)
                calls += std::to_string(call.requestLength);
            if (call.status == 0 && call.handle != handle)
                calls += "(other handle)";
        }
        return calls.empty() ? calls : calls.substr(1);
    }
    static std::string Pattern(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = (char)(i * 13 + i / 256);
        return bytes;
    }
};

TEST_F(FlashCommitTest, FilesMoveInChunksOf1024AndComeBackWithTheirTimes)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\chunks.bin", Pattern(2500)));
    EXPECT_EQ(CopyFileToFlash(L"Z:\\chunks.bin", L"chunks.bin"), 0);
    EXPECT_EQ(Calls(), "open write1024 write1024 write452 close");
    EXPECT_TRUE(FlashFile(L"chunks.bin") == Pattern(2500));

    FILETIME accessed = { 0x22222222, 0x01D10000 }, written = { 0x33333333, 0x01D20000 };
    HANDLE store = CreateFileW(L"T:\\flash\\chunks.bin", FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(SetFileTime(store, NULL, &accessed, &written));
    CloseHandle(store);
    EXPECT_EQ(CopyFileFromFlash(L"chunks.bin", L"Z:\\back.bin"), 0);
    EXPECT_EQ(Calls(), "open info read1024 read1024 read452 close");
    // Times first: reading the copy renews its access time. The host keeps
    // no creation time to give.
    WIN32_FILE_ATTRIBUTE_DATA local;
    ASSERT_TRUE(GetFileAttributesExW(L"Z:\\back.bin", GetFileExInfoStandard, &local));
    EXPECT_EQ(CompareFileTime(&local.ftLastWriteTime, &written), 0);
    EXPECT_EQ(CompareFileTime(&local.ftLastAccessTime, &accessed), 0);
    EXPECT_TRUE(ReadBytes(L"Z:\\back.bin") == Pattern(2500));

    ASSERT_TRUE(WriteBytes(L"Z:\\empty.bin", ""));
    EXPECT_EQ(CopyFileToFlash(L"Z:\\empty.bin", L"empty"), 0);
    EXPECT_EQ(CopyFileFromFlash(L"empty", L"Z:\\empty-back.bin"), 0);
    EXPECT_EQ(Calls(), "open close open info close");
    EXPECT_EQ(ReadBytes(L"Z:\\empty-back.bin"), "");
}

TEST_F(FlashCommitTest, NamesFitUpTo99Characters)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\named.bin", "named"));
    std::wstring longest(99, L'n'), tooLong(100, L'n');
    EXPECT_EQ(CopyFileToFlash(L"Z:\\named.bin", longest.c_str()), 0);
    EXPECT_EQ(FlashFile(longest), "named");
    Calls();
    EXPECT_EQ(CopyFileToFlash(L"Z:\\named.bin", tooLong.c_str()), 99);
    EXPECT_EQ(CopyFileFromFlash(tooLong.c_str(), L"Z:\\named-back.bin"), 99);
    EXPECT_EQ(DeleteFlashFile(tooLong.c_str()), 99);
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(DeleteFlashFile(longest.c_str()), 0);
    EXPECT_FALSE(OnFlash(longest));
    EXPECT_EQ(DeleteFlashFile(longest.c_str()), 16);
}

TEST_F(FlashCommitTest, EachFailureHasItsResultAndAnOpenedFileIsClosed)
{
    ASSERT_TRUE(WriteBytes(L"Z:\\source.bin", Pattern(1500)));
    ASSERT_TRUE(PutOnFlash(L"in", Pattern(1500)));
    Calls();
    const struct { uint32_t failing, sizeHigh; bool toFlash; const wchar_t* local; int result; const char* calls; }
    cases[] = {
        { FLASH_CALL_OPEN, 0, true, L"Z:\\source.bin", 16, "open(failed) delete" },
        { FLASH_CALL_WRITE, 0, true, L"Z:\\source.bin", 16, "open write(failed) close delete" },
        { 0, 0, true, L"Z:\\missing.bin", 6, "open close delete" },
        { FLASH_CALL_INFO, 0, false, L"Z:\\in.bin", 16, "open info(failed) close" },
        { 0, 1, false, L"Z:\\in.bin", 99, "open info close" },
        { FLASH_CALL_READ, 0, false, L"Z:\\in.bin", 16, "open info read(failed) close" },
        { 0, 0, false, L"Z:\\no such folder\\in.bin", 6, "open info close" },
    };
    for (const auto& c : cases) {
        DeleteFileW(L"Z:\\in.bin");
        Faults(c.failing, 0, c.sizeHigh);
        int result = c.toFlash ? CopyFileToFlash(c.local, L"out") : CopyFileFromFlash(L"in", c.local);
        EXPECT_EQ(result, c.result) << c.calls;
        EXPECT_EQ(Calls(), c.calls);
        if (c.toFlash) {
            EXPECT_FALSE(OnFlash(L"out")) << "no part of a failed copy stays: " << c.calls;
        }
        if (c.sizeHigh != 0) {
            EXPECT_EQ(ReadBytes(L"Z:\\in.bin"), "(missing)") << "no local file for 4 GiB or more";
        }
    }
    Faults(0);
    EXPECT_EQ(CopyFileFromFlash(L"not-there", L"Z:\\in.bin"), 16);
    EXPECT_EQ(Calls(), "open(failed)");
    // A short count from the open call leaves no whole handle to close, so
    // that file stays open in the driver: a name of its own.
    Faults(0, 1);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"short-open"), 16);
    EXPECT_EQ(Calls(), "open delete");
    // The volume the program falls back to refuses the flash calls.
    Faults(0, 0, 0, 1);
    EXPECT_EQ(CopyFileToFlash(L"Z:\\source.bin", L"out"), 16);
    EXPECT_EQ(CopyFileFromFlash(L"in", L"Z:\\in.bin"), 16);
    EXPECT_EQ(DeleteFlashFile(L"in"), 16);
    Faults(0);

    // A kernel file that claims 4096 bytes and ends after a few: the copy
    // ends at the first empty read rather than asking again forever.
    const wchar_t shortFile[] = L"\\\\?\\unix\\sys\\kernel\\mm\\transparent_hugepage\\enabled";
    std::string content = ReadBytes(shortFile);
    ASSERT_LT(content.size(), 1024u) << "no kernel file shorter than its size on this machine";
    EXPECT_EQ(CopyFileToFlash(shortFile, L"short"), 99);
    EXPECT_EQ(Calls(), "open write" + std::to_string(content.size()) + " close delete");
    EXPECT_FALSE(OnFlash(L"short")) << "the part that was written stays on flash";
}

TEST_F(FlashCommitTest, StatusRecordGoesToZAndFlashAndReadsBack)
{
    EXPECT_EQ(WriteStatusRecord("err:0,flush:1"), RECORD_STORED);
    EXPECT_EQ(ReadBytes(L"Z:\\info"), "err:0,flush:1");
    EXPECT_EQ(FlashFile(L"info"), "err:0,flush:1");
    char text[260] = "stale";
    EXPECT_TRUE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "err:0,flush:1");
    ASSERT_TRUE(WriteBytes(L"Z:\\info", "err:16,flush:0\r\nmore"));
    EXPECT_TRUE(ReadStatusRecord(text));
    EXPECT_STREQ(text, "err:16,flush:0");
    for (bool exists : { true, false }) {
        ASSERT_TRUE(exists ? WriteBytes(L"Z:\\info", "") : DeleteFileW(L"Z:\\info"));
        strcpy(text, "stale");
        EXPECT_FALSE(ReadStatusRecord(text));
        EXPECT_STREQ(text, "");
    }
    // The copy to flash fails: the record is on Z: only.
    Faults(FLASH_CALL_WRITE);
    EXPECT_EQ(WriteStatusRecord("err:0,flush:0"), RECORD_NOT_ON_FLASH);
    EXPECT_EQ(ReadBytes(L"Z:\\info"), "err:0,flush:0");
    EXPECT_FALSE(OnFlash(L"info"));
}

// Only a record as a save writes it says whether the save stored its script.
TEST_F(FlashCommitTest, SaveResultIsReadOnlyFromAWellFormedRecord)
{
    const struct { const char* record; bool wellFormed, succeeded; } cases[] = {
        { "err:0,flush:0", true, true },    { "err:0,flush:1", true, true },
        { "err:-1,flush:0", true, false },  { "err:16,flush:1", true, false },
        { "err:10,flush:0", true, false },  { "err:99,flush:12", true, false },
        { " err:0,flush:0", false, true },  { "ERR:0,flush:0", false, true },
        { "hello flush:1", false, true },   { "err:0,flush:0 ", false, true },
        { "err:,flush:0", false, true },    { "err:0,flush:", false, true },
        { "err:-,flush:0", false, true },   { "err:0;flush:0", false, true },
        { "", false, true },
    };
    for (const auto& c : cases) {
        bool succeeded = true;
        EXPECT_EQ(ReadSaveResult(c.record, &succeeded), c.wellFormed) << c.record;
        if (c.wellFormed) {
            EXPECT_EQ(succeeded, c.succeeded) << c.record;
        }
    }
}

} // namespace
