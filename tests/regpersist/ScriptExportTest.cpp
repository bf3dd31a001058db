// The registry script that save mode's export writes, byte for byte, and
// what the terminal's registry editor makes of its unusual lines.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "RegistryExport.h"
#include "StavixTestSupport.h"

namespace {

const wchar_t script[] = L"Z:\\stavix.reg";

std::string Export(const std::string& keyList)
{
    EXPECT_TRUE(WriteKeyList(keyList));
    EXPECT_EQ(ExportRegistryKeys(), 1);
    return ReadBytes(script);
}

std::string Bytes(int first, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += (char)(first + i);
    return bytes;
}

std::string Wide(const std::wstring& text, bool withNul = true)
{
    return std::string((const char*)text.c_str(), (text.size() + (withNul ? 1 : 0)) * 2);
}

TEST(ScriptExportTest, DemoKeyGivesTheScriptLineByLine)
{
    ASSERT_TRUE(SetString(L"SOFTWARE\\Demo", L"s", L"C:\\tmp"));
    ASSERT_TRUE(SetDword(L"SOFTWARE\\Demo", L"d", 1));
    ASSERT_TRUE(MakeKey(L"SOFTWARE\\Demo\\Sub"));
    EXPECT_EQ(Export("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"
              "\"d\"=dword:00000001\r\n"
              "\"s\"=\"C:\\\\tmp\"\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo\\Sub]\r\n"
              "\r\n");
    DeleteTree(L"SOFTWARE\\Demo");
}

TEST(ScriptExportTest, EachValueTypeHasItsLine)
{
    const std::wstring key = L"SOFTWARE\\StavixTypes";
    ASSERT_TRUE(SetValue(key, L"abc", REG_BINARY, Bytes(0, 30)));
    ASSERT_TRUE(SetValue(key, L"b1", REG_BINARY, "\xab"));
    ASSERT_TRUE(SetValue(key, L"d258", REG_DWORD, std::string("\x02\x01\x00\x00", 4)));
    ASSERT_TRUE(SetValue(key, L"m", REG_MULTI_SZ, Wide(std::wstring(L"a\0b\0", 4))));
    ASSERT_TRUE(SetValue(key, L"p", REG_EXPAND_SZ, Wide(L"ab")));
    ASSERT_TRUE(SetString(key, L"quote", L"say \"hi\"\\"));
    ASSERT_TRUE(SetString(key, L"w\\s", L"x"));
    ASSERT_TRUE(SetDword(key, L"w\\d", 7));
    ASSERT_TRUE(SetValue(key, L"w\"b", REG_BINARY, "\x01"));
    ASSERT_TRUE(SetString(key, L"", L"default"));
    ASSERT_TRUE(SetValue(key, L"zn", REG_NONE, "\x01"));
    ASSERT_TRUE(SetValue(key, L"zbig", REG_DWORD_BIG_ENDIAN, std::string(4, '\0')));
    EXPECT_EQ(Export("<TSCAL path>\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixTypes]\n"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixTypes]\r\n"
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
    DeleteTree(key);
}

TEST(ScriptExportTest, KeyListRunsMarkersAndKeyLines)
{
    const std::wstring key = L"SOFTWARE\\StavixRuns";
    for (const wchar_t* name : { L"\\Before", L"\\One", L"\\Two", L"\\Three" })
        ASSERT_TRUE(SetString(key + name, L"v", L"1"));
    std::string longLine = "; " + std::string(258, 'x') + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\One]\n";
    EXPECT_EQ(Export("[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before]\n"
                     "x <TSCAL path> y\n"
                     "; HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\One] ; comment\n" +
                     longLine +
                     "[hkey_local_machine\\SOFTWARE\\StavixRuns\\Two]\n"
                     "[HKEY_CURRENT_CONFIG\\SOFTWARE\\StavixRuns\\Two]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Missing]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Two] see [x]\n"
                     "[HKEY_LOCAL_MACHINE\\]\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Before]\n"
                     "<TSCAL path>\n"
                     "[HKEY_LOCAL_MACHINE]\n"
                     "<TSCAL path>\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Three]"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\One] ; comment\r\n"
              "\"v\"=\"1\"\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Two]\r\n"
              "\"v\"=\"1\"\r\n"
              "\r\n"
              "REGEDIT4\r\n"
              "\r\n"
              "REGEDIT4\r\n"
              "\r\n"
              // A last line without a line end gets one: the registry
              // editor would read no value on the header's own line.
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRuns\\Three]\r\n"
              "\"v\"=\"1\"\r\n"
              "\r\n");
    DeleteTree(key);
}

TEST(ScriptExportTest, KeyListWithoutMarkerOrMissing)
{
    EXPECT_EQ(Export("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\r\n"), "");
    ASSERT_TRUE(DeleteFileW(L"C:\\winnt\\system32\\stavix.ini"));
    DeleteFileW(script);
    EXPECT_EQ(ExportRegistryKeys(), 0);
    EXPECT_FALSE(FileExists(script));
}

// Values whose plain line would be misread or read past their data get a
// line that imports back the same, or none at all; the registry editor of
// the terminal is the judge.
TEST(ScriptExportTest, UnusualValuesImportBackTheSameOrAreLeftOut)
{
    ASSERT_EQ(GetACP(), 1252u) << "the expected bytes are those of code page 1252";
    const std::wstring key = L"SOFTWARE\\StavixOdd";
    ASSERT_TRUE(SetString(key, L"crlf", L"x\r\ny"));
    ASSERT_TRUE(SetValue(key, L"inner", REG_SZ, Wide(std::wstring(L"a\0b", 3))));
    ASSERT_TRUE(SetValue(key, L"sz0", REG_SZ, ""));
    ASSERT_TRUE(SetString(key, L"latin\u00e9", L"caf\u00e9 \u20ac"));
    ASSERT_TRUE(SetValue(key, L"dw2", REG_DWORD, "\x01\x02"));
    ASSERT_TRUE(SetValue(key, L"dw8", REG_DWORD, Bytes(1, 8)));
    ASSERT_TRUE(SetValue(key, L"bin0", REG_BINARY, ""));
    ASSERT_TRUE(SetValue(key, L"ex0", REG_EXPAND_SZ, ""));
    // Left out: half a character, a string without its NUL (the registry
    // adds one to what the registry editor gives it), characters the code
    // page has no byte for, a line break in a name.
    ASSERT_TRUE(SetValue(key, L"odd", REG_SZ, "abc"));
    ASSERT_TRUE(SetValue(key, L"nonul", REG_SZ, std::string("a\0b\0", 4)));
    ASSERT_TRUE(SetValue(key, L"ex2", REG_EXPAND_SZ, std::string("a\0", 2)));
    ASSERT_TRUE(SetValue(key, L"ex1", REG_EXPAND_SZ, "a"));
    ASSERT_TRUE(SetString(key, L"omega", L"\u03a9"));
    ASSERT_TRUE(SetValue(key, L"multi\u0100", REG_MULTI_SZ, Wide(L"a")));
    ASSERT_TRUE(SetDword(key, L"line\nbreak", 1));
    ASSERT_TRUE(SetDword(key + L"\\\u03a9", L"gone", 1));
    // A header line beyond 259 characters is left out with its subtree
    // rather than cut into the name of another key.
    std::wstring deep = key + L"\\" + std::wstring(120, L'k');
    ASSERT_TRUE(SetDword(deep, L"kept", 1));
    ASSERT_TRUE(SetDword(deep + L"\\" + std::wstring(120, L'l'), L"gone", 1));
    std::vector<RegistryValue> before = ReadTree(key);

    std::string deepHeader = "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd\\" + std::string(120, 'k') +
                             "]\r\n\"kept\"=dword:00000001\r\n";
    EXPECT_EQ(Export("<TSCAL path>\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd]\r\n"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixOdd]\r\n"
              "\"bin0\"=hex:\r\n"
              "\"crlf\"=hex(1):78,0d,0a,79,00\r\n"
              "\"dw2\"=hex(4):01,02\r\n"
              "\"dw8\"=hex(4):01,02,03,04,05,06,07,08\r\n"
              "\"ex0\"=hex(2):\r\n"
              "\"inner\"=hex(1):61,00,62,00\r\n"
              "\"latin\xe9\"=\"caf\xe9 \x80\"\r\n"
              "\"sz0\"=hex(1):\r\n" +
                  deepHeader + "\r\n");

    // What the registry editor imports from it is what was there, less what
    // was left out.
    DeleteTree(key);
    ASSERT_EQ(RunProgram(L"regedit /s Z:\\stavix.reg"), 0u);
    std::vector<RegistryValue> expected;
    for (const RegistryValue& value : before) {
        bool leftOut = value.key.find(L"\u03a9") != std::wstring::npos ||
                       value.key.find(L"lll") != std::wstring::npos || value.name == L"odd" ||
                       value.name == L"ex1" || value.name == L"ex2" || value.name == L"nonul" || value.name == L"omega" ||
                       value.name == L"multi\u0100" || value.name == L"line\nbreak";
        if (!leftOut)
            expected.push_back(value);
    }
    std::vector<RegistryValue> after = ReadTree(key);
    ASSERT_EQ(after.size(), expected.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], expected[i]) << Describe(after[i]) << "\n" << Describe(expected[i]);
    DeleteTree(key);
}

} // namespace
