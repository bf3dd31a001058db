// WriteFilterDevice against the terminal's substitute write filter, through
// real device calls.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "ScopedHandle.h"
#include "SubstituteControl.h"
#include "TerminalTrace.h"
#include "WriteFilterDevice.h"

namespace {

class WriteFilterDeviceTest : public testing::Test
{
protected:
    void TearDown() override { SetFilter(State(96, 8192)); }

    static WriteFilterTestState State(uint32_t inUse, uint32_t total)
    {
        WriteFilterTestState state = {};
        state.status.blocksInUse = inUse;
        state.status.blocksTotal = total;
        return state;
    }
    static void SetFilter(const WriteFilterTestState& state)
    {
        ASSERT_TRUE(SetWriteFilterTestState(state)) << GetLastError();
    }
    static WriteFilterTestState Filter()
    {
        WriteFilterTestState state = {};
        EXPECT_TRUE(GetWriteFilterTestState(&state)) << GetLastError();
        return state;
    }

    WriteFilterDevice device;
};

TEST_F(WriteFilterDeviceTest, EveryAccessOfTheSystemServesBothCalls)
{
    for (DWORD access : { 0ul, GENERIC_READ, GENERIC_READ | GENERIC_WRITE }) {
        SetFilter(State(40, 100));
        ScopedHandle handle(device.OpenDevice(access));
        ASSERT_TRUE(handle.IsValid()) << "access " << access << ", error " << GetLastError();

        ASSERT_TRUE(device.QueryStatus(handle.Get()));
        EXPECT_TRUE(device.lastResult);
        EXPECT_EQ(device.bytesReturned, sizeof(WriteFilterStatus));
        EXPECT_EQ(device.status.blocksInUse, 40u);
        EXPECT_EQ(device.status.blocksTotal, 100u);

        ASSERT_TRUE(device.FlushCache(handle.Get()));
        EXPECT_EQ(device.status.blocksInUse, 0u);
        EXPECT_EQ(device.status.entriesFlushed, 40u);
        EXPECT_EQ(Filter().flushCalls, 1u);
    }
}

TEST_F(WriteFilterDeviceTest, StatusRecordComesThroughByteForByte)
{
    WriteFilterTestState state = State(0x01020304, 0x0A0B0C0D);
    state.status.mode = 0xFE;
    state.status.entriesFlushed = 0x7FFFFFFF;
    memcpy(state.status.unread9, "\x91\x92\x93", 3);
    memcpy(state.status.unread16, "\xA1\xA2\xA3\xA4", 4);
    SetFilter(state);

    ScopedHandle handle(device.OpenDevice(0));
    ASSERT_TRUE(device.QueryStatus(handle.Get()));
    EXPECT_EQ(memcmp(&device.status, &state.status, sizeof(WriteFilterStatus)), 0);
}

TEST_F(WriteFilterDeviceTest, OnlyModeOneMeansInactiveWhateverTheUnreadBytes)
{
    ScopedHandle handle(device.OpenDevice(0));
    for (int mode = 0; mode <= 255; ++mode) {
        WriteFilterTestState state = State(1, 2);
        state.status.mode = (uint8_t)mode;
        memset(state.status.unread9, mode == 1 ? 0x00 : 0x01, 3);
        SetFilter(state);
        ASSERT_TRUE(device.QueryStatus(handle.Get()));
        EXPECT_EQ(device.FilterActive(), mode != 1) << "mode " << mode;
    }
}

TEST_F(WriteFilterDeviceTest, FailedCallsReportFalse)
{
    WriteFilterTestState state = State(5, 10);
    state.faults = WRITE_FILTER_FAULT_QUERY | WRITE_FILTER_FAULT_FLUSH;
    SetFilter(state);
    ScopedHandle handle(device.OpenDevice(0));
    EXPECT_FALSE(device.QueryStatus(handle.Get()));
    EXPECT_FALSE(device.lastResult);
    EXPECT_FALSE(device.FlushCache(handle.Get()));
    EXPECT_FALSE(device.lastResult);
    EXPECT_EQ(Filter().status.blocksInUse, 5u);
}

TEST_F(WriteFilterDeviceTest, MissingDeviceLeavesFileNotFound)
{
    WriteFilterTestState state = State(1, 2);
    state.faults = WRITE_FILTER_FAULT_HIDDEN;
    SetFilter(state);
    EXPECT_EQ(device.OpenDevice(0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
}

LUID ShutdownPrivilege()
{
    LUID shutdown = {};
    LookupPrivilegeValueW(NULL, L"SeShutdownPrivilege", &shutdown);
    return shutdown;
}

bool ShutdownPrivilegeEnabled()
{
    HANDLE raw;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    ScopedHandle token(raw);
    PRIVILEGE_SET wanted = { 1, PRIVILEGE_SET_ALL_NECESSARY, { { ShutdownPrivilege(), 0 } } };
    BOOL enabled = FALSE;
    PrivilegeCheck(token.Get(), &wanted, &enabled);
    return enabled != FALSE;
}

void EnableShutdownPrivilege()
{
    HANDLE raw;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &raw));
    ScopedHandle token(raw);
    TOKEN_PRIVILEGES privileges = { 1, { { ShutdownPrivilege(), SE_PRIVILEGE_ENABLED } } };
    ASSERT_TRUE(AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, NULL, NULL));
    ASSERT_TRUE(ShutdownPrivilegeEnabled());
}

TEST_F(WriteFilterDeviceTest, RestartSystemAsksForAnImmediateForcedRestartAndDropsThePrivilege)
{
    // Enabled beforehand, so that only RestartSystem can have switched it off.
    EnableShutdownPrivilege();
    size_t traceBefore = ReadTerminalTrace().size();
    EXPECT_TRUE(device.RestartSystem());
    EXPECT_FALSE(ShutdownPrivilegeEnabled());

    std::string trace = ReadTerminalTrace().substr(traceBefore);
    // Wine's stub prints machine, message, time-out, force and reboot.
    EXPECT_NE(trace.find("InitiateSystemShutdownExW (null) (null) 0 1 1"), std::string::npos)
        << trace;
}

} // namespace
