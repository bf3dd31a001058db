// The registry script of save mode's export, byte for byte, and what the
// terminal's registry editor imports from its unusual lines.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "RegistryExport.h"
#include "StavixTestSupport.h"

namespace {

std::string Export(const std::string& keyList, ExportCounts* counts = NULL)
{
    ExportCounts own;
    EXPECT_TRUE(WriteKeyList(keyList));
    EXPECT_EQ(ExportRegistryKeys(counts != NULL ? counts : &own), EXPORT_DONE);
    return ReadBytes(L"Z:\\stavix.reg");
}

std::string Bytes(int first, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += (char)(first + i);
    return bytes;
}

TEST(ScriptExportTest, EachValueTypeHasItsLine)
{
    ASSERT_TRUE(SetValue(L"SOFTWARE\\Demo", L"s", REG_SZ, Sz(L"C:\\tmp")));
    ASSERT_TRUE(SetValue(L"SOFTWARE\\Demo", L"d", REG_DWORD, Dword(1)));
    HKEY sub;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Demo\\Sub", 0, NULL, 0, KEY_READ, NULL, &sub,
                              NULL), 0);
    RegCloseKey(sub);
    const std::wstring types = L"SOFTWARE\\StavixTypes";
    ASSERT_TRUE(SetValue(types, L"abc", REG_BINARY, Bytes(0, 30)));
    ASSERT_TRUE(SetValue(types, L"b1", REG_BINARY, "\xab"));
    ASSERT_TRUE(SetValue(types, L"d258", REG_DWORD, Dword(258)));
    ASSERT_TRUE(SetValue(types, L"m", REG_MULTI_SZ, Sz(std::wstring(L"a\0b\0", 4))));
    ASSERT_TRUE(SetValue(types, L"p", REG_EXPAND_SZ, Sz(L"ab")));
    ASSERT_TRUE(SetValue(types, L"quote", REG_SZ, Sz(L"say \"hi\"\\")));
    ASSERT_TRUE(SetValue(types, L"w\\s", REG_SZ, Sz(L"x")));
    ASSERT_TRUE(SetValue(types, L"w\\d", REG_DWORD, Dword(7)));
    ASSERT_TRUE(SetValue(types, L"w\"b", REG_BINARY, "\x01"));
    ASSERT_TRUE(SetValue(types, L"", REG_SZ, Sz(L"default")));
    ASSERT_TRUE(SetValue(types, L"zn", REG_NONE, "\x01"));
    ASSERT_TRUE(SetValue(types, L"zbig", REG_DWORD_BIG_ENDIAN, Dword(0)));
    EXPECT_EQ(Export("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixTypes]\n"),
              "REGEDIT4\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"
              "\"d\"=dword:00000001\r\n"
              "\"s\"=\"C:\\\\tmp\"\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo\\Sub]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixTypes]\r\n"
              "\"\"=\"default\"\r\n"
              "\"abc\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
              "  17,18,19,1a,1b,1c,1d\r\n"
              "\"b1\"=hex:ab\r\n"
              "\"d258\"=dword:00000102\r\n"
              "\"m\"=hex(7):61,00,62,00,00\r\n"
              "\"p\"=hex(2):61,62,00\r\n"
              "\"quote\"=\"say \\\"hi\\\"\\\\\"\r\n"
              // Escaped in every type's line: the registry editor reads
              // "w\d" as the name "wd".
              "\"w\\\"b\"=hex:01\r\n"
              "\"w\\\\d\"=dword:00000007\r\n"
              "\"w\\\\s\"=\"x\"\r\n"
              "\r\n");
    DeleteTree(L"SOFTWARE\\Demo");
    DeleteTree(types);
}

TEST(ScriptExportTest, KeyListRunsMarkersAndKeyLines)
{
    const std::wstring key = L"SOFTWARE\\StavixRuns";
    for (const wchar_t* name : { L"\\Before", L"\\One", L"\\Two", L"\\Three", L"\\Four", L"\\Five" })
        ASSERT_TRUE(SetValue(key + name, L"v", REG_SZ, Sz(L"1")));
    // Lines beyond 259 characters are read whole: a marker line, a key line
    // with a long comment, and a line with a key line where a cut would
    // fall, which stays a comment.
    std::string longComment(300, 'c');
    std::string longLine = "; " + std::string(258, 'x') + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Two]\n";
    ExportCounts counts;
    EXPECT_EQ(Export("[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before]\n"
                     "x <TSCAL path> ; " + longComment + "\n"
                     "; HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\One] ; " + longComment + "\n" + longLine +
                     // A CR alone ends a line, as the registry editor would
                     // end it in the script.
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Four]\r[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Five]\r\n" +
                     "[hkey_local_machine\\SOFTWARE\\StavixRuns\\Two]\n"
                     "[HKEY_CURRENT_CONFIG\\SOFTWARE\\StavixRuns\\Two]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Missing]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Two] see [x]\n"
                     "[HKEY_LOCAL_MACHINE\\]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before]\n"
                     "<TSCAL path>\n"
                     "[HKEY_LOCAL_MACHINE]\n"
                     "<TSCAL path>\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Three]", &counts),
              "REGEDIT4\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\One] ; " + longComment + "\r\n\"v\"=\"1\"\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Four]\r\n\"v\"=\"1\"\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Five]\r\n\"v\"=\"1\"\r\n"
              // Cut behind its own "]": the editor reads a key name up to
              // the last "]" of the line.
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Two]\r\n\"v\"=\"1\"\r\n"
              "\r\n"
              "REGEDIT4\r\n\r\n"
              // A last line without a line end gets one: the editor reads no
              // value on the header's own line.
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Three]\r\n\"v\"=\"1\"\r\n"
              "\r\n");
    // Key lines One, Four, Five, the two unknown roots, Missing, Two, the
    // empty path that ends the run, the bare root, Three.
    EXPECT_EQ(counts.keyLines, 10u);
    EXPECT_EQ(counts.linesPassedOver, 3u);
    EXPECT_EQ(counts.keysSaved, 5u);
    EXPECT_EQ((size_t)counts.scriptBytes, ReadBytes(L"Z:\\stavix.reg").size());
    DeleteTree(key);

    EXPECT_EQ(Export("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"), "");
    ASSERT_TRUE(DeleteFileW(L"C:\\winnt\\system32\\stavix.ini") && DeleteFileW(L"Z:\\stavix.reg"));
    EXPECT_EQ(ExportRegistryKeys(&counts), EXPORT_NO_KEY_LIST);
    EXPECT_EQ(ReadBytes(L"Z:\\stavix.reg"), "(missing)");
}

// Values whose plain line would be misread, or read past their data, get a
// line that imports back the same, or none; the terminal's registry editor
// is the judge.
TEST(ScriptExportTest, UnusualValuesImportBackTheSameOrAreLeftOut)
{
    ASSERT_EQ(GetACP(), 1252u) << "the expected bytes are those of code page 1252";
    const std::wstring key = L"SOFTWARE\\StavixOdd";
    ASSERT_TRUE(SetValue(key, L"crlf", REG_SZ, Sz(L"x\r\ny")));
    ASSERT_TRUE(SetValue(key, L"inner", REG_SZ, Sz(std::wstring(L"a\0b", 3))));
    ASSERT_TRUE(SetValue(key, L"sz0", REG_SZ, ""));
    ASSERT_TRUE(SetValue(key, L"latin\u00e9", REG_SZ, Sz(L"caf\u00e9 \u20ac")));
    ASSERT_TRUE(SetValue(key, L"dw2", REG_DWORD, "\x01\x02"));
    ASSERT_TRUE(SetValue(key, L"dw8", REG_DWORD, Bytes(1, 8)));
    ASSERT_TRUE(SetValue(key, L"bin0", REG_BINARY, ""));
    ASSERT_TRUE(SetValue(key, L"ex0", REG_EXPAND_SZ, ""));
    // Header lines beyond 259 characters are written whole.
    std::wstring deep = key + L"\\" + std::wstring(120, L'k');
    ASSERT_TRUE(SetValue(deep, L"kept", REG_DWORD, Dword(1)));
    ASSERT_TRUE(SetValue(deep + L"\\" + std::wstring(120, L'l'), L"deeper", REG_DWORD, Dword(2)));
    std::vector<RegistryValue> carried = ReadTree(key);
    // Strings as programs that store wcslen * 2 bytes leave them, or with
    // half a character at the end: their characters are carried, and the
    // registry editor gives them back with a NUL.
    const struct { const wchar_t* name; DWORD type; std::string data; std::string imported; } strings[] = {
        { L"nonul", REG_SZ, std::string("a\0b\0", 4), Sz(L"ab") },
        { L"odd", REG_SZ, std::string("a\0b\0c", 5), Sz(L"ab") },
        { L"odd1", REG_SZ, "c", "" },
        { L"ex2", REG_EXPAND_SZ, std::string("a\0", 2), Sz(L"a") },
        { L"multi", REG_MULTI_SZ, std::string("a\0\0\0b\0", 6), Sz(std::wstring(L"a\0b", 3)) },
    };
    for (const auto& s : strings)
        ASSERT_TRUE(SetValue(key, s.name, s.type, s.data));
    // Left out: characters code page 1252 has no byte for, and a line break
    // in a name.
    ASSERT_TRUE(SetValue(key, L"omega", REG_SZ, Sz(L"\u03a9")));
    ASSERT_TRUE(SetValue(key, L"multi\u0100", REG_MULTI_SZ, Sz(L"a")));
    ASSERT_TRUE(SetValue(key, L"line\nbreak", REG_DWORD, Dword(1)));
    ASSERT_TRUE(SetValue(key + L"\\\u03a9", L"gone", REG_DWORD, Dword(1)));

    EXPECT_EQ(Export("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd]\r\n"),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd]\r\n"
              "\"bin0\"=hex:\r\n"
              "\"crlf\"=hex(1):78,0d,0a,79,00\r\n"
              "\"dw2\"=hex(4):01,02\r\n"
              "\"dw8\"=hex(4):01,02,03,04,05,06,07,08\r\n"
              "\"ex0\"=hex(2):\r\n"
              "\"ex2\"=hex(2):61\r\n"
              "\"inner\"=hex(1):61,00,62,00\r\n"
              "\"latin\xe9\"=\"caf\xe9 \x80\"\r\n"
              "\"multi\"=hex(7):61,00,62\r\n"
              "\"nonul\"=\"ab\"\r\n"
              "\"odd\"=\"ab\"\r\n"
              "\"odd1\"=hex(1):\r\n"
              "\"sz0\"=hex(1):\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd\\" + std::string(120, 'k') + "]\r\n"
              "\"kept\"=dword:00000001\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd\\" + std::string(120, 'k') + "\\" +
                  std::string(120, 'l') + "]\r\n"
              "\"deeper\"=dword:00000002\r\n\r\n");

    DeleteTree(key);
    ASSERT_EQ(RunProgram(L"regedit /s Z:\\stavix.reg"), 0u);
    std::vector<RegistryValue> imported = ReadTree(key);
    for (const auto& s : strings) {
        auto found = std::find_if(imported.begin(), imported.end(),
                                  [&](const RegistryValue& v) { return v.name == s.name; });
        ASSERT_NE(found, imported.end()) << "no value " << std::string(s.name, s.name + wcslen(s.name));
        EXPECT_EQ(found->type, s.type);
        EXPECT_EQ(found->data, s.imported) << Describe(*found);
        imported.erase(found);
    }
    ASSERT_EQ(imported.size(), carried.size());
    for (size_t i = 0; i < imported.size(); ++i)
        EXPECT_EQ(imported[i], carried[i]) << Describe(imported[i]) << "\n" << Describe(carried[i]);
    DeleteTree(key);
}

// A chain of keys whose path grows far beyond 259 characters, down to the
// registry's longest names, comes back whole through the registry editor.
TEST(ScriptExportTest, DeepKeysWithLongNamesComeBackWhole)
{
    const std::wstring key = L"SOFTWARE\\StavixDeep";
    std::wstring path = key;
    for (int level = 0; level < 14; ++level) {
        path += L"\\" + std::wstring(level % 2 == 0 ? 255 : 40, (wchar_t)(L'a' + level));
        ASSERT_TRUE(SetValue(path, L"level", REG_DWORD, Dword(level)));
        if (level % 4 == 0) {
            ASSERT_TRUE(SetValue(path + L"\\side", L"s", REG_SZ, Sz(L"beside")));
        }
    }
    std::vector<RegistryValue> saved = ReadTree(key);
    ASSERT_EQ(saved.size(), 1u + 14 * 2 + 4 * 2);
    ExportCounts counts;
    std::string script = Export("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixDeep]\r\n", &counts);
    EXPECT_EQ(counts.keysSaved, 1u + 14 + 4);
    EXPECT_EQ(script.find("left out"), std::string::npos);
    DeleteTree(key);
    ASSERT_EQ(RunProgram(L"regedit /s Z:\\stavix.reg"), 0u);
    EXPECT_TRUE(ReadTree(key) == saved);
    DeleteTree(key);
}

} // namespace
