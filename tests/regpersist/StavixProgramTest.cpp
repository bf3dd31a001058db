// Stavix.exe as a program on the terminal: its two modes, what each leaves
// on flash, on drive Z: and in the registry, and its exit status.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "FlashCommit.h"
#include "HostShell.h"
#include "ScopedHandle.h"
#include "StavixTestSupport.h"
#include "SubstituteControl.h"
#include "TestProgram.h"

namespace {

const wchar_t pendrax[] = L"SOFTWARE\\ZRT\\pendrax", saved[] = L"SOFTWARE\\StavixSaved";
const std::string newKeyScript = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved\\New]\r\n\r\n";
const char keyList[] = "C:\\winnt\\system32\\stavix.ini";
const wchar_t sourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Stavix";

// The one entry a run leaves: its source, type, category, id and whole text.
void ExpectEntry(const std::vector<EventLogEntry>& entries, unsigned type, unsigned long id,
                 const std::string& text)
{
    ASSERT_EQ(entries.size(), 1u) << text;
    const EventLogEntry& entry = entries[0];
    EXPECT_EQ(entry.source, "Stavix");
    EXPECT_EQ(entry.type, type) << text;
    EXPECT_EQ(entry.category, 0u);
    EXPECT_EQ(entry.id, id) << text;
    ASSERT_EQ(entry.strings.size(), 1u);
    EXPECT_FALSE(entry.truncated);
    EXPECT_EQ(entry.strings[0], text);
}

size_t KeysIn(const std::wstring& key)
{
    std::vector<RegistryValue> tree = ReadTree(key);
    return std::count_if(tree.begin(), tree.end(), [](const RegistryValue& v) { return v.type == REG_NONE; });
}

FILETIME LastWritten(const wchar_t* key)
{
    FILETIME written = {};
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(opened, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &written);
        RegCloseKey(opened);
    }
    return written;
}

class StavixProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetFilter(96, 8192);
        AsARestoreLeavesIt();
        ASSERT_TRUE(WriteKeyList("; carried keys\r\n<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n"));
        DeleteTree(saved);
        ASSERT_TRUE(SetValue(saved, L"licence", REG_SZ, Sz(L"C:\\keep \"me\"")));
        ASSERT_TRUE(SetValue(std::wstring(saved) + L"\\Sub", L"n", REG_DWORD, Dword(42)));
        DeleteTree(pendrax);
        ASSERT_TRUE(SetValue(pendrax, L"error", REG_SZ, Sz(L"earlier")));
    }
    void TearDown() override
    {
        SetFilter(96, 8192);
        // Written afresh, the key list keeps the permissions a test gave it.
        ChangeUnixMode(keyList, "o-w");
    }

    // No record on flash or on Z:.
    static void AsARestoreLeavesIt()
    {
        ClearFlash();
        DeleteFileW(L"Z:\\info");
    }
    // A flash open answered with a short count leaves its file open in the
    // driver, which then refuses it to every later call: each file an open
    // gave out since the last look is closed.
    static void CloseFilesLeftOpen()
    {
        static FlashCallLog log;
        ASSERT_TRUE(TakeFlashCallLog(&log));
        ScopedHandle device(OpenFlashDevice());
        for (uint32_t i = 0; i < log.count; ++i) {
            DWORD returned;
            if (log.calls[i].code == IOCTL_FLASH_FILE_OPEN && log.calls[i].status == 0)
                DeviceIoControl(device.Get(), IOCTL_FLASH_FILE_CLOSE, &log.calls[i].handle, sizeof(uint32_t),
                                NULL, 0, &returned, NULL);
        }
    }
    static void SetFilter(uint32_t inUse, uint32_t total, uint32_t faults = 0, uint8_t mode = 0)
    {
        WriteFilterTestState state = {};
        state.status.blocksInUse = inUse;
        state.status.blocksTotal = total;
        state.status.mode = mode;
        state.faults = faults;
        ASSERT_TRUE(SetWriteFilterTestState(state));
    }
    static uint32_t FlushCalls()
    {
        WriteFilterTestState state = {};
        EXPECT_TRUE(GetWriteFilterTestState(&state));
        return state.flushCalls;
    }
    static std::string Pendrax(const wchar_t* name)
    {
        for (const RegistryValue& value : ReadTree(pendrax)) {
            if (value.name == name)
                return value.data;
        }
        return "(none)";
    }
};

TEST_F(StavixProgramTest, SlashSInEitherCaseSavesAndAnythingElseRestores)
{
    for (const wchar_t* line : { L"/s", L"/S", L"  /s", L"/s ", L" /S \t" }) {
        ClearFlash();
        EXPECT_EQ(RunStavix(line), 0u);
        EXPECT_EQ(FlashFile(L"info"), "err:0,flush:0");
        EXPECT_EQ(FlashFile(L"stavix.reg"), ReadBytes(L"Z:\\stavix.reg"));
    }
    EXPECT_NE(FlashFile(L"stavix.reg").find("\"licence\"=\"C:\\\\keep \\\"me\\\"\"\r\n"), std::string::npos);
    for (const wchar_t* line : { L"/s x", L"-s", L"/save", L"" }) {
        ClearFlash();
        EXPECT_EQ(RunStavix(line), 0u);
        EXPECT_FALSE(OnFlash(L"info"));
    }
}

TEST_F(StavixProgramTest, SaveTakesTheFlushRequestAndStoresNothingWithoutAFilterOrList)
{
    for (DWORD autoflush : { 1, 65537, 2, 0 }) {
        AsARestoreLeavesIt();
        ASSERT_TRUE(SetValue(pendrax, L"autoflush", REG_DWORD, Dword(autoflush)));
        EXPECT_EQ(RunStavix(L"/s"), 0u);
        std::string record = autoflush % 65536 == 1 ? "err:0,flush:1" : "err:0,flush:0";
        EXPECT_EQ(FlashFile(L"info"), record);
        EXPECT_EQ(ReadBytes(L"Z:\\info"), record);
        EXPECT_EQ(Pendrax(L"autoflush"), Dword(0));
        EXPECT_EQ(Pendrax(L"error"), Sz(L""));
    }
    // A second save before the restart (at logoff, then at shutdown) finds
    // "autoflush" reset by the first; the request the first one stored holds.
    ASSERT_TRUE(SetValue(pendrax, L"autoflush", REG_DWORD, Dword(1)));
    EXPECT_EQ(RunStavix(L"/s"), 0u);
    EXPECT_EQ(RunStavix(L"/s"), 0u);
    EXPECT_EQ(FlashFile(L"info"), "err:0,flush:1") << "the second save dropped the flush request";
    AsARestoreLeavesIt();
    const struct { uint32_t faults; uint8_t mode; bool keyList; const char* record; } cases[] = {
        { WRITE_FILTER_FAULT_HIDDEN, 0, true, "err:-1,flush:0" },
        { 0, 1, true, "err:-1,flush:0" },  // inactive
        { WRITE_FILTER_FAULT_QUERY, 0, true, "err:0,flush:0" },
        { 0, 0, false, "err:0,flush:0" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", "err:5,flush:0"));
        if (!c.keyList)
            DeleteFileW(L"C:\\winnt\\system32\\stavix.ini");
        SetFilter(1, 100, c.faults, c.mode);
        EXPECT_EQ(RunStavix(L"/s"), 0u);
        EXPECT_EQ(FlashFile(L"info"), c.record);
        EXPECT_FALSE(OnFlash(L"stavix.reg")) << c.record;
    }
    // Without the key nothing is read or made.
    DeleteTree(pendrax);
    EXPECT_EQ(RunStavix(L"/s"), 0u);
    EXPECT_EQ(ReadTree(pendrax).size(), 0u);
}

TEST_F(StavixProgramTest, RestoreImportsFlushesWhenAskedAndPublishesTheRecord)
{
    ASSERT_TRUE(SetValue(pendrax, L"autoflush", REG_DWORD, Dword(1)));
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    std::vector<RegistryValue> before = ReadTree(saved);
    DeleteTree(saved);
    SetFilter(50, 8192);
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(ReadTree(saved).size(), 4u);
    EXPECT_TRUE(ReadTree(saved) == before);
    EXPECT_EQ(FlushCalls(), 1u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:0,flush:1"));
    EXPECT_FALSE(OnFlash(L"stavix.reg") || OnFlash(L"info"));
    EXPECT_EQ(ReadBytes(L"Z:\\stavix.reg") + ReadBytes(L"Z:\\info"), "(missing)(missing)");

    // Only a record, asking for no flush; then an empty one, which asks and
    // tells nothing; then none at all, after a script.
    ASSERT_TRUE(PutOnFlash(L"info", "err:16,flush:0"));
    SetFilter(50, 8192);
    EXPECT_EQ(RunStavix(L"restore"), 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:16,flush:0"));
    ASSERT_TRUE(PutOnFlash(L"info", "") && SetValue(pendrax, L"error", REG_SZ, Sz(L"earlier")));
    EXPECT_EQ(RunStavix(L""), 0u);
    ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript));
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 1u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));
    EXPECT_EQ(FlushCalls(), 0u);
}

TEST_F(StavixProgramTest, RequestedFlushThatFailsEndsWithItsExitStatus)
{
    const struct { uint32_t inUse, faults; DWORD exitStatus; } cases[] = {
        { 8192, 0, 0xFFFFFFFF },  // full cache
        { 5, WRITE_FILTER_FAULT_FLUSH, 0xFFFFFFFF },
        { 5, WRITE_FILTER_FAULT_HIDDEN, 1 },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", "err:0,flush:1"));
        SetFilter(c.inUse, 8192, c.faults);
        EXPECT_EQ(RunStavix(L""), c.exitStatus);
        EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));
        EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 1u);
        EXPECT_FALSE(OnFlash(L"info") || OnFlash(L"stavix.reg"));
        EXPECT_EQ(ReadBytes(L"Z:\\info"), "(missing)");
        DeleteTree(std::wstring(saved) + L"\\New");
    }
}

TEST_F(StavixProgramTest, ScriptStaysOnFlashWhenTheRegistryEditorCannotStart)
{
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    DeleteTree(saved);
    ASSERT_TRUE(MoveFileW(L"C:\\windows\\regedit.exe", L"C:\\windows\\regedit.away"));
    std::vector<EventLogEntry> entries;
    DWORD exitStatus = RunStavixLogged(L"", &entries);
    ASSERT_TRUE(MoveFileW(L"C:\\windows\\regedit.away", L"C:\\windows\\regedit.exe"));
    EXPECT_EQ(exitStatus, 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 12,
                "Stavix restore did not import the script: the registry editor did not start; it "
                "stays on flash; no flush asked; published \"err:0,flush:0\" in \"error\". Exit status 0.");
    EXPECT_TRUE(OnFlash(L"stavix.reg"));
    EXPECT_EQ(ReadTree(saved).size(), 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"err:0,flush:0"));
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(ReadTree(saved).size(), 4u);
    EXPECT_FALSE(OnFlash(L"stavix.reg"));
}

// A save cut off while it stored its script (a restart, a power cut) leaves
// part of it on flash and no record; a save that stored none but could not
// delete the older one leaves that beside a record saying so. Neither is
// imported: a cut line would replace a value with other data.
TEST_F(StavixProgramTest, RestoreImportsNoScriptCutShortOrLeftFromAnEarlierSave)
{
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n";
    const std::vector<RegistryValue> before = ReadTree(saved);
    const struct { std::string script; const char* record; } cases[] = {
        { head + "\"licence\"=hex:01,02,\\\r\n", NULL },
        { head + "\"licence\"=\"C:\\\\ke", NULL },
        { head + "\"licence\"=\"older\"\r\n\r\n", "err:-1,flush:0" },
        { head + "\"licence\"=\"older\"\r\n\r\n", "err:16,flush:0" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", c.script) && (c.record == NULL || PutOnFlash(L"info", c.record)));
        std::string output;
        std::vector<EventLogEntry> entries;
        EXPECT_EQ(RunStavixWatched(L"", &output, &entries), 0u);
        EXPECT_TRUE(ReadTree(saved) == before) << c.script;
        EXPECT_NE(output.find("not imported\n"), std::string::npos) << output;
        std::string record = c.record == NULL ? "no record on flash: \"error\" keeps its value."
                                              : "published \"" + std::string(c.record) + "\" in \"error\".";
        ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 12,
                    "Stavix restore did not import the script on flash: "
                        + std::string(c.record == NULL ? "it was cut short"
                                                       : "the record says the last save stored none")
                        + "; it is deleted; no flush asked; " + record + " Exit status 0.");
        EXPECT_FALSE(OnFlash(L"stavix.reg") || OnFlash(L"info"));
    }
}

// Key list lines that carry nothing, and a key list that holds no marker
// line a save can read (one saved as UTF-16), are named in the debugger output.
TEST_F(StavixProgramTest, DebuggerOutputNamesKeyListLinesThatCarryNothing)
{
    ASSERT_TRUE(WriteKeyList("<TSCAL path>\r\n[HKCU\\Software\\StavixSaved]\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixMissing]\r\n[HKCU\\" + std::string(300, 'x') + "]\r\n"));
    std::string output;
    EXPECT_EQ(RunStavixWatched(L"/s", &output), 0u);
    // A long line is named by its first 259 characters.
    for (const std::string& line : { std::string("passed over: [HKCU\\Software\\StavixSaved]\n"),
                                     std::string("passed over: [HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixMissing]\n"),
                                     "passed over: [HKCU\\" + std::string(253, 'x') + "\n",
                                     std::string("saved 0 keys from 3 key lines (3 passed over), script 12 bytes; "
                                                 "record err:0,flush:0 stored\n") })
        EXPECT_NE(output.find(line), std::string::npos) << line << " in:\n" << output;
    ASSERT_TRUE(WriteKeyList(std::string("\xff\xfe<\0T\0S\0C\0A\0L\0 \0p\0a\0t\0h\0>\0", 26)));
    output.clear();
    EXPECT_EQ(RunStavixWatched(L"/s", &output), 0u);
    EXPECT_NE(output.find("holds no <TSCAL path> line; nothing is saved\n"), std::string::npos) << output;
}
// A record that is not as a save writes it counts as none: the script is
// imported when it ends whole. The record is still published.
TEST_F(StavixProgramTest, RecordNotWellFormedDisownsNoScript)
{
    for (const char* record : { "hello flush:0", " err:0,flush:0", "ERR:0,flush:0", "err:16,flush:0 " }) {
        ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", record));
        std::string output;
        EXPECT_EQ(RunStavixWatched(L"", &output), 0u);
        EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 1u) << record;
        EXPECT_NE(output.find("the record on flash is not of the form err:N,flush:N"), std::string::npos) << output;
        EXPECT_EQ(Pendrax(L"error"), Sz(std::wstring(record, record + strlen(record))));
        EXPECT_FALSE(OnFlash(L"stavix.reg") || OnFlash(L"info"));
        DeleteTree(std::wstring(saved) + L"\\New");
    }
    ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", "err:6,flush:0"));
    std::string output;
    EXPECT_EQ(RunStavixWatched(L"", &output), 0u);
    EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 0u);
    EXPECT_NE(output.find("the record says the last save stored no script"), std::string::npos) << output;
}

// A save whose record cannot replace the one on flash ends with exit status
// 1, and the older record never stays there through a save's own doing.
TEST_F(StavixProgramTest, SaveWhoseRecordDoesNotReachFlashSaysSo)
{
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    ASSERT_EQ(FlashFile(L"info"), "err:0,flush:0");
    FlashCallLog log;
    ASSERT_TRUE(TakeFlashCallLog(&log));
    // Every open answers with a short count: each file opened stays open in
    // the driver, which refuses to delete or replace it.
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ 0, 1, 0, 0 }));
    std::string output;
    std::vector<EventLogEntry> entries;
    EXPECT_EQ(RunStavixWatched(L"/s", &output, &entries), 1u);
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{}));
    CloseFilesLeftOpen();
    EXPECT_EQ(ReadBytes(L"Z:\\info"), "err:16,flush:0");
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 2,
                "Stavix /s saved 2 keys from 1 key line in a script of " + std::to_string(ReadBytes(L"Z:\\stavix.reg").size())
                    + " bytes, but could not store it on flash. Recorded \"err:16,flush:0\" in Z:\\info, but it "
                    "could not be stored on flash. Exit status 1.");
    EXPECT_EQ(FlashFile(L"info"), "") << "the older record stood for this save";
    EXPECT_NE(output.find("the record could not be stored on flash"), std::string::npos) << output;
    // The restore finds no record to publish.
    ASSERT_TRUE(SetValue(pendrax, L"error", REG_SZ, Sz(L"earlier")));
    EXPECT_EQ(RunStavix(L""), 0u);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));

    // Nothing on flash can be deleted or opened: the older record stands,
    // and the save says that it stored none.
    ASSERT_EQ(RunStavix(L"/s"), 0u);
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{ FLASH_CALL_OPEN | FLASH_CALL_DELETE, 0, 0, 0 }));
    output.clear();
    EXPECT_EQ(RunStavixWatched(L"/s", &output), 1u);
    ASSERT_TRUE(SetFlashFaults(FlashTestFaults{}));
    EXPECT_NE(output.find("record err:16,flush:0 not stored"), std::string::npos) << output;
}
// Each run leaves one entry: a save tells the keys and key lines it found
// (as the registry and the key list hold them), the script's size (as it is
// on flash and on Z:) and its record; a restore what it imported, whether it
// flushed and what it published. The source names Stavix.exe as its message
// file, written only when missing or different.
TEST_F(StavixProgramTest, EachRunLeavesOneEntryThatTellsWhatItDid)
{
    ASSERT_TRUE(WriteKeyList("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n"
                             "not a key line\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOther] site\r\n"));
    DeleteTree(L"SOFTWARE\\StavixOther");
    ASSERT_TRUE(SetValue(L"SOFTWARE\\StavixOther", L"site", REG_SZ, Sz(L"Harbour Road")));
    ASSERT_TRUE(SetValue(pendrax, L"autoflush", REG_DWORD, Dword(1)));
    DeleteTree(sourceKey);
    std::vector<EventLogEntry> entries;
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    size_t keys = KeysIn(saved) + KeysIn(L"SOFTWARE\\StavixOther");
    ASSERT_EQ(keys, 3u);
    std::string script = FlashFile(L"stavix.reg");
    EXPECT_EQ(script, ReadBytes(L"Z:\\stavix.reg"));
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 1,
                "Stavix /s saved " + std::to_string(keys) + " keys from 2 key lines: a script of "
                    + std::to_string(script.size()) + " bytes, stored on flash. "
                    "Recorded \"err:0,flush:1\" on flash. Exit status 0.");

    std::string folder = TestProgramFolder();
    std::vector<RegistryValue> source = ReadTree(sourceKey);
    ASSERT_EQ(source.size(), 3u);
    EXPECT_EQ(Describe(source[1]), Describe(RegistryValue{ sourceKey, L"EventMessageFile", REG_EXPAND_SZ,
                                                           Sz(std::wstring(folder.begin(), folder.end()) + L"Stavix.exe") }));
    EXPECT_EQ(Describe(source[2]), Describe(RegistryValue{ sourceKey, L"TypesSupported", REG_DWORD, Dword(7) }));
    FILETIME registered = LastWritten(sourceKey);
    Sleep(50);

    DeleteTree(saved);
    DeleteTree(L"SOFTWARE\\StavixOther");
    SetFilter(50, 8192);
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    EXPECT_EQ(KeysIn(saved) + KeysIn(L"SOFTWARE\\StavixOther"), keys);
    EXPECT_EQ(FlushCalls(), 1u);
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 11,
                "Stavix restore imported the script from flash (" + std::to_string(script.size())
                    + " bytes); flushed the write filter's cache as the record asked; published "
                    "\"err:0,flush:1\" in \"error\". Exit status 0.");

    // Nothing on flash: nothing imported, flushed or published.
    SetFilter(50, 8192);
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    EXPECT_EQ(FlushCalls(), 0u);
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 11,
                "Stavix restore fetched no script from flash; no flush asked; no record on flash: "
                "\"error\" keeps its value. Exit status 0.");
    FILETIME now = LastWritten(sourceKey);
    EXPECT_EQ(CompareFileTime(&registered, &now), 0) << "the registration was written again";
    DeleteTree(L"SOFTWARE\\StavixOther");

    // A record with no text, and one the panel's missing key cannot take.
    ASSERT_TRUE(PutOnFlash(L"info", ""));
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 11,
                "Stavix restore fetched no script from flash; no flush asked; the record on flash is "
                "empty: \"error\" keeps its value. Exit status 0.");
    DeleteTree(pendrax);
    ASSERT_TRUE(PutOnFlash(L"info", "err:0,flush:0 "));
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 11,
                "Stavix restore fetched no script from flash; no flush asked; could not publish "
                "\"err:0,flush:0 \" (not of the form err:N,flush:N) in \"error\". Exit status 0.");
}

// A save that passed a key line over, recorded anything but 0 or stored
// nothing, and a restore that left a script unimported, a flush undone or
// found that the last save failed, each give a warning.
TEST_F(StavixProgramTest, ARunThatLeftSomethingUndoneWarns)
{
    // The first three lines passed over are named, a long one by its
    // beginning; then a count.
    const std::string missing = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixMissing\\";
    ASSERT_TRUE(WriteKeyList("<TSCAL path>\r\n[HKCU\\Software]\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n"
                             + missing + std::string(80, 'x') + "]\r\n"
                             "[HKCU\\a]\r\n[HKCU\\b]\r\n[HKCU\\c]\r\n"));
    std::vector<EventLogEntry> entries;
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 5,
                "Stavix /s saved 2 keys from 6 key lines: a script of " + std::to_string(FlashFile(L"stavix.reg").size())
                    + " bytes, stored on flash. Recorded \"err:0,flush:0\" on flash. Exit status 0.\r\n"
                    "5 key lines passed over: [HKCU\\Software], " + missing
                    + std::string(60 - missing.size(), 'x') + "..., [HKCU\\a] and 2 more.");
    // A name outside the terminal's code page: the 8-bit script cannot hold
    // it, and the value is lost at the next restart.
    ASSERT_TRUE(SetValue(saved, L"\u03A9", REG_DWORD, Dword(1)));
    ASSERT_TRUE(WriteKeyList("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixSaved]\r\n"));
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 5,
                "Stavix /s saved 2 keys from 1 key line: a script of " + std::to_string(FlashFile(L"stavix.reg").size())
                    + " bytes, stored on flash. Recorded \"err:0,flush:0\" on flash. Exit status 0.\r\n"
                    "1 value or subkey left out of the script, which cannot hold their names or data.");

    SetFilter(1, 100, 0, 1);
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 3,
                "Stavix /s saved nothing: the write filter is inactive. Recorded \"err:-1,flush:0\" on "
                "flash. Exit status 0.");
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 14,
                "Stavix restore fetched no script from flash; no flush asked; published "
                "\"err:-1,flush:0\" in \"error\". Exit status 0.");

    DeleteFileW(L"C:\\winnt\\system32\\stavix.ini");
    SetFilter(1, 100);
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 4,
                "Stavix /s saved nothing: the key list C:\\winnt\\system32\\stavix.ini does not open. "
                "Recorded \"err:0,flush:0\" on flash. Exit status 0.");

    ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", "err:16,flush:0"));
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    EXPECT_EQ(ReadTree(std::wstring(saved) + L"\\New").size(), 0u);
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 12,
                "Stavix restore did not import the script on flash: the record says the last save "
                "stored none; it is deleted; no flush asked; published \"err:16,flush:0\" in \"error\". "
                "Exit status 0.");

    ASSERT_TRUE(PutOnFlash(L"stavix.reg", newKeyScript) && PutOnFlash(L"info", "err:0,flush:1"));
    ASSERT_TRUE(SetValue(pendrax, L"error", REG_SZ, Sz(L"earlier")));
    SetFilter(8192, 8192);
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0xFFFFFFFFu);
    EXPECT_EQ(Pendrax(L"error"), Sz(L"earlier"));
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 13,
                "Stavix restore imported the script from flash (" + std::to_string(newKeyScript.size())
                    + " bytes); did not flush as the record asked: the write filter's cache is full; "
                    "\"error\" keeps its value, the record \"err:0,flush:1\" is not published. Exit status -1.");
    DeleteTree(std::wstring(saved) + L"\\New");
}

// A key list that others may change lets them choose the keys carried onto
// flash and imported at every restore: the save warns and names who may;
// closed again, it says nothing of it. A restore reads no key list.
TEST_F(StavixProgramTest, AKeyListOthersMayChangeGivesAWarning)
{
    ASSERT_TRUE(ChangeUnixMode(keyList, "o+w"));
    std::vector<EventLogEntry> entries;
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    const std::string savedText = "Stavix /s saved 2 keys from 1 key line: a script of "
                                  + std::to_string(FlashFile(L"stavix.reg").size())
                                  + " bytes, stored on flash. Recorded \"err:0,flush:0\" on flash. Exit status 0.";
    ExpectEntry(entries, EVENTLOG_WARNING_TYPE, 6,
                savedText + "\r\nThe key list C:\\winnt\\system32\\stavix.ini can be changed by Everyone: "
                            "restrict it to Administrators and SYSTEM.");
    EXPECT_EQ(RunStavixLogged(L"", &entries), 0u);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, 11u);
    EXPECT_EQ(entries[0].type, (unsigned)EVENTLOG_INFORMATION_TYPE);

    ASSERT_TRUE(ChangeUnixMode(keyList, "o-w"));
    EXPECT_EQ(RunStavixLogged(L"/s", &entries), 0u);
    ExpectEntry(entries, EVENTLOG_INFORMATION_TYPE, 1, savedText);
}
} // namespace
