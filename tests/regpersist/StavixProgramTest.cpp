// Stavix.exe run as a program on the terminal: its two modes, what each
// leaves on flash, on drive Z: and in the registry, and its exit status.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "ScopedRegKey.h"
#include "StavixTestSupport.h"
#include "SubstituteControl.h"

namespace {

const wchar_t pendrax[] = L"SOFTWARE\\ZRT\\pendrax";
const wchar_t saved[] = L"SOFTWARE\\StavixSaved";
const DWORD minusOne = 0xFFFFFFFF;

class StavixProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetFilter(96, 8192);
        ASSERT_TRUE(SetFlashFaults(FlashTestFaults{}));
        ClearFlash();
        DeleteFileW(L"Z:\\stavix.reg");
        DeleteFileW(L"Z:\\info");
        ASSERT_TRUE(WriteKeyList("; keys that survive a restart\r\n<TSCAL path>\r\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n"));
        DeleteTree(saved);
        ASSERT_TRUE(SetString(saved, L"licence", L"C:\\keep \"me\""));
        ASSERT_TRUE(SetDword(std::wstring(saved) + L"\\Sub", L"n", 42));
        DeleteTree(pendrax);
        ASSERT_TRUE(SetString(pendrax, L"error", L"earlier"));
    }
    void TearDown() override { SetFilter(96, 8192); }

    static void SetFilter(uint32_t inUse, uint32_t total, uint32_t faults = 0, uint8_t mode = 0)
    {
        WriteFilterTestState state = {};
        state.status.blocksInUse = inUse;
        state.status.blocksTotal = total;
        state.status.mode = mode;
        state.faults = faults;
        ASSERT_TRUE(SetWriteFilterTestState(state)) << GetLastError();
    }
    static WriteFilterTestState Filter()
    {
        WriteFilterTestState state = {};
        EXPECT_TRUE(GetWriteFilterTestState(&state));
        return state;
    }
    static std::string Pendrax(const wchar_t* name)
    {
        std::vector<RegistryValue> values = ReadTree(pendrax);
        for (const RegistryValue& value : values) {
            if (value.name == name)
                return std::to_string(value.type) + ":" + value.data;
        }
        return "(none)";
    }
    static std::string Sz(const std::wstring& text)
    {
        return "1:" + std::string((const char*)text.c_str(), (text.size() + 1) * 2);
    }
    static std::string Dword(DWORD value) { return "4:" + std::string((const char*)&value, 4); }
};

TEST_F(StavixProgramTest, OnlySlashSInEitherCaseSaves)
{
    for (const wchar_t* line : { L"/s", L"/S", L"  /s" }) {
        ClearFlash();
        EXPECT_EQ(RunStavix(line), 0u);
        EXPECT_EQ(FlashFile(L"info"), "err:0,flush:0") << "\"" << line << "\"";
        EXPECT_TRUE(OnFlash(L"stavix.reg"));
    }
    EXPECT_EQ(FlashFile(L"stavix.reg"), ReadBytes(L"Z:\\stavix.reg"));
    EXPECT_NE(FlashFile(L"stavix.reg").find("\"licence\"=\"C:\\\\keep \\\"me\\\"\"\r\n"),
              std::string::npos);
    for (const wchar_t* line : { L"/s x", L"-s", L"/save", L"" }) {
        ClearFlash();
        ASSERT_TRUE(SetString(pendrax, L"error", L"earlier"));
        EXPECT_EQ(RunStavix(line), 0u);
        EXPECT_FALSE(OnFlash(L"info")) << "\"" << line << "\"";
        EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));
    }
}

TEST_F(StavixProgramTest, SaveTakesTheFlushRequestAndResetsIt)
{
    const struct { DWORD autoflush; const char* record; } cases[] = {
        { 1, "err:0,flush:1" }, { 65537, "err:0,flush:1" }, { 2, "err:0,flush:0" },
        { 0, "err:0,flush:0" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetDword(pendrax, L"autoflush", c.autoflush));
        EXPECT_EQ(RunStavix(L"/s"), 0u);
        EXPECT_EQ(FlashFile(L"info"), c.record) << c.autoflush;
        EXPECT_EQ(ReadBytes(L"Z:\\info"), c.record);
        EXPECT_EQ(Pendrax(L"autoflush"), Dword(0));
        EXPECT_EQ(Pendrax(L"error"), Sz(L""));
    }
    // Without the key nothing is read or made.
    DeleteTree(pendrax);
    EXPECT_EQ(RunStavix(L"/s"), 0u);
    EXPECT_EQ(FlashFile(L"info"), "err:0,flush:0");
    EXPECT_EQ(ReadTree(pendrax).size(), 0u);
}

TEST_F(StavixProgramTest, SaveWithoutAnActiveFilterOrKeyListStoresNoScript)
{
    struct Case { const char* what; uint32_t faults; uint8_t mode; bool keyList; const char* record; };
    const Case cases[] = {
        { "no write filter", WRITE_FILTER_FAULT_HIDDEN, 0, true, "err:-1,flush:0" },
        { "inactive filter", 0, 1, true, "err:-1,flush:0" },
        { "failed query", WRITE_FILTER_FAULT_QUERY, 0, true, "err:0,flush:0" },
        { "no key list", 0, 0, false, "err:0,flush:0" },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"));
        ASSERT_TRUE(PutOnFlash(L"info", "err:0,flush:1"));
        if (!c.keyList) {
            ASSERT_TRUE(DeleteFileW(L"C:\\winnt\\system32\\stavix.ini"));
        }
        SetFilter(1, 100, c.faults, c.mode);
        EXPECT_EQ(RunStavix(L"/s"), 0u);
        EXPECT_EQ(FlashFile(L"info"), c.record) << c.what;
        EXPECT_FALSE(OnFlash(L"stavix.reg")) << c.what;
    }
}

TEST_F(StavixProgramTest, RestoreImportsFlushesWhenAskedAndPublishesTheRecord)
{
    ASSERT_TRUE(SetDword(pendrax, L"autoflush", 1));
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    std::vector<RegistryValue> before = ReadTree(saved);
    DeleteTree(saved);
    SetFilter(50, 8192);

    EXPECT_EQ(RunStavix(L""), 0u);
    std::vector<RegistryValue> after = ReadTree(saved);
    EXPECT_EQ(after.size(), 4u);
    EXPECT_TRUE(after == before);
    EXPECT_EQ(Filter().flushCalls, 1u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:0,flush:1"));
    EXPECT_FALSE(OnFlash(L"stavix.reg"));
    EXPECT_FALSE(OnFlash(L"info"));
    EXPECT_FALSE(FileExists(L"Z:\\stavix.reg"));
    EXPECT_FALSE(FileExists(L"Z:\\info"));

    // A record without a request: no flush.
    ASSERT_TRUE(PutOnFlash(L"info", "err:16,flush:0"));
    SetFilter(50, 8192);
    EXPECT_EQ(RunStavix(L"restore"), 0u);
    EXPECT_EQ(Filter().flushCalls, 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:16,flush:0"));
}

TEST_F(StavixProgramTest, RequestedFlushThatFailsEndsWithItsExitStatus)
{
    struct Case { const char* what; uint32_t inUse, total, faults; DWORD exit; };
    const Case cases[] = {
        { "full cache", 8192, 8192, 0, minusOne },
        { "flush fails", 5, 8192, WRITE_FILTER_FAULT_FLUSH, minusOne },
        { "no write filter", 5, 8192, WRITE_FILTER_FAULT_HIDDEN, 1 },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved\\New]\r\n\r\n"));
        ASSERT_TRUE(PutOnFlash(L"info", "err:0,flush:1"));
        SetFilter(c.inUse, c.total, c.faults);
        EXPECT_EQ(RunStavix(L""), c.exit) << c.what;
        EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier")) << c.what;
        EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 1u) << c.what;
        EXPECT_FALSE(OnFlash(L"info"));
        EXPECT_FALSE(OnFlash(L"stavix.reg"));
        EXPECT_FALSE(FileExists(L"Z:\\info"));
        DeleteTree(std::wstring(saved) + L"\\New");
    }
}

TEST_F(StavixProgramTest, RestoreWithoutARecordLeavesErrorAsItWas)
{
    ASSERT_TRUE(PutOnFlash(L"stavix.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved\\New]\r\n\r\n"));
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 1u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));

    // A record that holds no text asks for nothing and tells nothing.
    ASSERT_TRUE(PutOnFlash(L"info", ""));
    SetFilter(5, 8192);
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));
    EXPECT_EQ(Filter().flushCalls, 0u);
    EXPECT_FALSE(OnFlash(L"info"));
}

TEST_F(StavixProgramTest, ScriptStaysOnFlashWhenTheRegistryEditorCannotStart)
{
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    DeleteTree(saved);
    const wchar_t editor[] = L"C:\\windows\\regedit.exe", hidden[] = L"C:\\windows\\regedit.away";
    ASSERT_TRUE(MoveFileW(editor, hidden));
    DWORD exitCode = RunStavix(L"");
    ASSERT_TRUE(MoveFileW(hidden, editor));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(OnFlash(L"stavix.reg"));
    EXPECT_EQ(ReadTree(saved).size(), 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:0,flush:0"));

    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(ReadTree(saved).size(), 4u);
    EXPECT_FALSE(OnFlash(L"stavix.reg"));
}

} // namespace
