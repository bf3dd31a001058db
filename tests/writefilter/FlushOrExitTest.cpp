// An unattended flush ends its process with the status of what it came to:
// each case runs it in a helper process and reads the exit status and what
// reached the substitute write filter.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "ScopedHandle.h"
#include "SubstituteControl.h"

namespace {

const DWORD kExitOne = 1;
const DWORD kExitMinusOne = 0xFFFFFFFF;

std::wstring HelperPath()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"flush_or_exit.exe";
}

// The helper's exit status, or a value no case expects when it did not run.
DWORD RunFlushOrExit(DWORD access)
{
    std::wstring commandLine = L"\"" + HelperPath() + L"\" " + std::to_wstring(access);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the helper, error " << GetLastError();
        return 0xDEAD;
    }
    ScopedHandle thread(process.hThread);
    ScopedHandle processHandle(process.hProcess);
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 0xDEAD;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

WriteFilterTestState State(uint32_t inUse, uint32_t total, uint32_t faults = 0)
{
    WriteFilterTestState state = {};
    state.status.blocksInUse = inUse;
    state.status.blocksTotal = total;
    state.faults = faults;
    return state;
}

class FlushOrExitTest : public testing::Test
{
protected:
    void TearDown() override { SetFilter(State(96, 8192)); }

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
};

TEST_F(FlushOrExitTest, FlushesAndReturnsWhenTheCacheHasRoom)
{
    for (DWORD access : { 0ul, GENERIC_READ | GENERIC_WRITE }) {
        SetFilter(State(7, 8));
        EXPECT_EQ(RunFlushOrExit(access), 0u) << "access " << access;
        WriteFilterTestState after = Filter();
        EXPECT_EQ(after.queryCalls, 1u);
        EXPECT_EQ(after.flushCalls, 1u);
        EXPECT_EQ(after.status.blocksInUse, 0u);
    }
}

TEST_F(FlushOrExitTest, FullCacheEndsWithMinusOneWithoutAFlushCall)
{
    for (uint32_t blocks : { 0u, 1u, 8192u, 0xFFFFFFFFu }) {
        SetFilter(State(blocks, blocks));
        EXPECT_EQ(RunFlushOrExit(0), kExitMinusOne) << blocks << " of " << blocks;
        WriteFilterTestState after = Filter();
        EXPECT_EQ(after.queryCalls, 1u);
        EXPECT_EQ(after.flushCalls, 0u);
        EXPECT_EQ(after.status.blocksInUse, blocks);
    }
}

TEST_F(FlushOrExitTest, MissingDeviceEndsWithOne)
{
    SetFilter(State(1, 2, WRITE_FILTER_FAULT_HIDDEN));
    EXPECT_EQ(RunFlushOrExit(GENERIC_READ | GENERIC_WRITE), kExitOne);
    EXPECT_EQ(Filter().queryCalls, 0u);
}

TEST_F(FlushOrExitTest, FailedFlushEndsWithMinusOne)
{
    SetFilter(State(3, 9, WRITE_FILTER_FAULT_FLUSH));
    EXPECT_EQ(RunFlushOrExit(0), kExitMinusOne);
    WriteFilterTestState after = Filter();
    EXPECT_EQ(after.flushCalls, 1u);
    EXPECT_EQ(after.status.blocksInUse, 3u);
}

TEST_F(FlushOrExitTest, FailedQueryEndsWithMinusOneWithoutAFlushCall)
{
    SetFilter(State(3, 9, WRITE_FILTER_FAULT_QUERY));
    EXPECT_EQ(RunFlushOrExit(0), kExitMinusOne);
    WriteFilterTestState after = Filter();
    EXPECT_EQ(after.queryCalls, 1u);
    EXPECT_EQ(after.flushCalls, 0u);
}

TEST_F(FlushOrExitTest, ModeDoesNotDecideWhetherToFlush)
{
    for (uint8_t mode : { 0, 1, 2, 255 }) {
        WriteFilterTestState state = State(4, 9);
        state.status.mode = mode;
        SetFilter(state);
        EXPECT_EQ(RunFlushOrExit(0), 0u) << "mode " << (int)mode;
        EXPECT_EQ(Filter().flushCalls, 1u);
    }
}

} // namespace
