// The substitute write filter's own behaviour: what a flush does to its
// counts and to the record the terminal's restart reads, and its faults.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "DeviceCalls.h"
#include "SubstituteControl.h"

namespace {

const wchar_t kFlushRecord[] = L"T:\\writefilter-flushes.log";

int RecordedFlushes()
{
    ScopedHandle file(CreateFileW(kFlushRecord, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  NULL, OPEN_EXISTING, 0, NULL));
    if (!file.IsValid())
        return 0;
    char text[4096];
    DWORD read = 0;
    ReadFile(file.Get(), text, sizeof(text), &read, NULL);
    int lines = 0;
    for (DWORD i = 0; i < read; ++i)
        lines += text[i] == '\n';
    return lines;
}

class WriteFilterDriverTest : public testing::Test
{
protected:
    void SetUp() override { DeleteFileW(kFlushRecord); }
    void TearDown() override
    {
        WriteFilterTestState state = {};
        state.status.blocksInUse = 96;
        state.status.blocksTotal = 8192;
        SetWriteFilterTestState(state);
        DeleteFileW(kFlushRecord);
    }

    static bool CallFilter(DWORD code, WriteFilterStatus* status)
    {
        ScopedHandle filter(OpenDeviceForTest(WRITE_FILTER_DEVICE_PATH));
        DWORD returned;
        return Control(filter.Get(), code, NULL, 0, status, sizeof(*status), &returned) &&
               returned == sizeof(*status);
    }
};

TEST_F(WriteFilterDriverTest, FlushEmptiesTheCacheCountsTheEntriesAndLeavesARecord)
{
    WriteFilterTestState state = {};
    state.status.blocksInUse = 30;
    state.status.blocksTotal = 64;
    state.status.entriesFlushed = 100;
    ASSERT_TRUE(SetWriteFilterTestState(state));

    WriteFilterStatus status;
    ASSERT_TRUE(CallFilter(IOCTL_WRITE_FILTER_FLUSH, &status));
    EXPECT_EQ(status.blocksInUse, 0u);
    EXPECT_EQ(status.blocksTotal, 64u);
    EXPECT_EQ(status.entriesFlushed, 130u);
    EXPECT_EQ(RecordedFlushes(), 1);

    ASSERT_TRUE(CallFilter(IOCTL_WRITE_FILTER_QUERY, &status));
    EXPECT_EQ(status.blocksInUse, 0u);
    ASSERT_TRUE(CallFilter(IOCTL_WRITE_FILTER_FLUSH, &status));
    EXPECT_EQ(status.entriesFlushed, 130u);
    EXPECT_EQ(RecordedFlushes(), 2);
}

TEST_F(WriteFilterDriverTest, FailingCallsChangeAndRecordNothing)
{
    WriteFilterTestState state = {};
    state.status.blocksInUse = 30;
    state.status.blocksTotal = 64;
    state.faults = WRITE_FILTER_FAULT_FLUSH | WRITE_FILTER_FAULT_QUERY;
    ASSERT_TRUE(SetWriteFilterTestState(state));

    WriteFilterStatus status;
    EXPECT_FALSE(CallFilter(IOCTL_WRITE_FILTER_QUERY, &status));
    EXPECT_FALSE(CallFilter(IOCTL_WRITE_FILTER_FLUSH, &status));
    EXPECT_EQ(RecordedFlushes(), 0);
    WriteFilterTestState after;
    ASSERT_TRUE(GetWriteFilterTestState(&after));
    EXPECT_EQ(after.status.blocksInUse, 30u);
    EXPECT_EQ(after.queryCalls, 1u);
    EXPECT_EQ(after.flushCalls, 1u);
}

TEST_F(WriteFilterDriverTest, FlushTakesTheTimeItWasGiven)
{
    WriteFilterTestState state = {};
    state.status.blocksTotal = 10;
    state.flushDelayMs = 400;
    ASSERT_TRUE(SetWriteFilterTestState(state));
    DWORD start = GetTickCount();
    WriteFilterStatus status;
    ASSERT_TRUE(CallFilter(IOCTL_WRITE_FILTER_FLUSH, &status));
    EXPECT_GE(GetTickCount() - start, 390u);

    state.flushDelayMs = WRITE_FILTER_MAX_FLUSH_DELAY_MS + 1;
    EXPECT_FALSE(SetWriteFilterTestState(state));
}

TEST_F(WriteFilterDriverTest, HiddenDeviceComesBack)
{
    WriteFilterTestState state = {};
    state.faults = WRITE_FILTER_FAULT_HIDDEN;
    ASSERT_TRUE(SetWriteFilterTestState(state));
    EXPECT_EQ(OpenDeviceForTest(WRITE_FILTER_DEVICE_PATH), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    state.faults = 0;
    ASSERT_TRUE(SetWriteFilterTestState(state));
    ScopedHandle filter(OpenDeviceForTest(WRITE_FILTER_DEVICE_PATH));
    EXPECT_TRUE(filter.IsValid());
}

} // namespace
