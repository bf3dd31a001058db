// CIniSection on the terminal's profile-string calls.
#include <gtest/gtest.h>

#include <string>

#include "ConfigTestFiles.h"
#include "config/IniSection.h"

namespace {

// Keys and values of the section in file order.
std::vector<std::pair<std::string, std::string>> Entries(CIniSection& section)
{
    std::vector<std::pair<std::string, std::string>> entries;
    if (!section.MoveFirst())
        return entries;
    do {
        entries.emplace_back(section.GetKey(), section.GetValue());
    } while (section.MoveNext());
    return entries;
}

typedef std::vector<std::pair<std::string, std::string>> Pairs;

} // namespace

TEST(IniSection, ValuesAreTrimmedUnquotedAndLoseInlineComments)
{
    TestFolder folder;
    std::string ini = folder.Write("values.ini",
        "[Other]\r\nA=other\r\n"
        "[S]\r\n"
        "A=1\r\n"
        "B=two ; note\r\n"
        "Dir=C:\\Temp\\ ;old\r\n"
        "C=;x\r\n"
        "D=x;\r\n"
        "E=%TEMP%;x\r\n"
        "F = \"quoted ; kept?\" \r\n"
        "G=_;x\r\n"
        "H=\r\n"
        "[After]\r\nZ=9\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "s"));
    EXPECT_EQ(section.GetCount(), 9u);
    EXPECT_EQ(Entries(section), (Pairs{
        {"A", "1"}, {"B", "two"}, {"Dir", "C:\\Temp"}, {"C", ";x"}, {"D", "x"},
        {"E", "%TEMP"}, {"F", "quoted"}, {"G", "_"}, {"H", ""}}));
}

TEST(IniSection, RepeatedKeysEachLoadTheFirstLinesValue)
{
    TestFolder folder;
    std::string ini = folder.Write("repeat.ini", "[S]\r\nK=1\r\nK=2\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_EQ(Entries(section), (Pairs{{"K", "1"}, {"K", "1"}}));
}

TEST(IniSection, LinesWithoutAKeyThatFitsAreNoEntries)
{
    TestFolder folder;
    const std::string key259(259, 'k');
    const std::string key260(260, 'm');
    std::string ini = folder.Write("keys.ini",
        "[S]\r\nNoEquals\r\n; Old=comment\r\n=orphan\r\n" + key260 + "=long\r\n" + key259 + "=fits\r\nLast=1\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_EQ(section.GetCount(), 2u);
    EXPECT_EQ(Entries(section), (Pairs{{key259, "fits"}, {"Last", "1"}}));

    std::string onlyBad = folder.Write("bad.ini", "[S]\r\nNoEquals\r\n" + key260 + "=x\r\n");
    EXPECT_FALSE(section.Open(onlyBad.c_str(), "S"));
    EXPECT_EQ(section.GetKey(), nullptr);
}

TEST(IniSection, FindKeyIgnoresCaseAndFindValueComparesWholeStrings)
{
    TestFolder folder;
    std::string ini = folder.Write("find.ini", "[S]\r\nP0=Administrator\r\nP1=adm\r\nP2=Guest\r\nP3=ADM\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));

    EXPECT_TRUE(section.FindKey("p2"));
    EXPECT_STREQ(section.GetValue(), "Guest");
    EXPECT_FALSE(section.FindKey("P"));
    EXPECT_FALSE(section.FindKey("P22"));
    EXPECT_STREQ(section.GetKey(), "P2") << "a failed search leaves current alone";

    EXPECT_TRUE(section.FindValue("Adm"));
    EXPECT_STREQ(section.GetKey(), "P1") << "the first match in file order";
    EXPECT_FALSE(section.FindValue("Administrato"));
    EXPECT_FALSE(section.FindValue(nullptr));
    EXPECT_TRUE(section.FindValue("administrator"));
    EXPECT_STREQ(section.GetKey(), "P0");
}

TEST(IniSection, WalkStopsOnTheLastEntry)
{
    TestFolder folder;
    std::string ini = folder.Write("walk.ini", "[S]\r\nA=1\r\nB=2\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_STREQ(section.GetKey(), "A") << "Open makes the first entry current";
    EXPECT_TRUE(section.MoveNext());
    EXPECT_FALSE(section.MoveNext());
    EXPECT_STREQ(section.GetKey(), "B");
    EXPECT_TRUE(section.MoveFirst());
    EXPECT_STREQ(section.GetKey(), "A");
}

TEST(IniSection, WithoutEntriesEveryOperationReportsNone)
{
    TestFolder folder;
    CIniSection section;
    EXPECT_EQ(section.GetKey(), nullptr);
    EXPECT_EQ(section.GetValue(), nullptr);
    EXPECT_FALSE(section.MoveFirst());
    EXPECT_FALSE(section.MoveNext());
    EXPECT_FALSE(section.FindKey(""));
    EXPECT_FALSE(section.SetKey("K", MAX_PATH));
    EXPECT_FALSE(section.WriteSection());
    EXPECT_FALSE(section.DeleteEntry());
    EXPECT_FALSE(section.AddEntry("K", "V"));

    std::string ini = folder.Write("empty-section.ini", "[S]\r\n[T]\r\nA=1\r\n");
    ASSERT_TRUE(section.Open(ini.c_str(), "T"));
    EXPECT_FALSE(section.Open(ini.c_str(), "S")) << "a section without lines";
    EXPECT_EQ(section.GetCount(), 0u);
    EXPECT_EQ(section.GetValue(), nullptr) << "a failed Open frees the old entries";
    EXPECT_FALSE(section.AddEntry("K", "V"));
    EXPECT_EQ(ReadWholeFile(ini), "[S]\r\n[T]\r\nA=1\r\n") << "nothing was written";
}

TEST(IniSection, AnUnusableNameLeavesTheObjectAsItWas)
{
    TestFolder folder;
    std::string ini = folder.Write("keep.ini", "[S]\r\nA=1\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_FALSE(section.Open("", "S"));
    EXPECT_FALSE(section.Open(nullptr, "S"));
    EXPECT_FALSE(section.Open(ini.c_str(), ""));
    EXPECT_FALSE(section.Open((std::string(250, 'x') + "\\" + std::string(20, 'y')).c_str(), "S"));
    EXPECT_FALSE(section.Open(ini.c_str(), std::string(260, 's').c_str()));
    EXPECT_STREQ(section.GetValue(), "1");
    // The stored names are still the good ones: a write goes to that file.
    EXPECT_TRUE(section.AddEntry("B", "2"));
    EXPECT_EQ(Entries(section), (Pairs{{"A", "1"}, {"B", "2"}}));
}

TEST(IniSection, DeletingTheOnlyEntryLeavesAnEmptySection)
{
    TestFolder folder;
    std::string ini = folder.Write("only.ini", "[S]\r\nP0=Administrator\r\n[T]\r\nX=1\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_FALSE(section.DeleteEntry());
    EXPECT_EQ(section.GetKey(), nullptr);
    std::string text = ReadWholeFile(ini);
    EXPECT_NE(text.find("[S]"), std::string::npos) << text;
    EXPECT_EQ(text.find("Administrator"), std::string::npos) << text;
    EXPECT_NE(text.find("X=1"), std::string::npos) << "other sections stay: " << text;
}

TEST(IniSection, WriteSectionWritesTheEntriesAsTheyStandInMemory)
{
    TestFolder folder;
    std::string ini = folder.Write("rewrite.ini",
        "[S]\r\nP0=Alice ;first\r\nP1=Bob\r\nP2=Carol\r\n[T]\r\nX=1\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    ASSERT_TRUE(section.FindValue("bob"));
    EXPECT_TRUE(section.SetKey("P9", MAX_PATH));
    ASSERT_TRUE(section.FindValue("Carol"));
    EXPECT_TRUE(section.DeleteEntry()) << "two lines remain";
    EXPECT_EQ(Entries(section), (Pairs{{"P0", "Alice"}, {"P9", "Bob"}}));
    std::string text = ReadWholeFile(ini);
    EXPECT_EQ(text.find(";first"), std::string::npos) << "the comment is gone from the file: " << text;
    EXPECT_EQ(text.find("Carol"), std::string::npos) << text;
    EXPECT_NE(text.find("X=1"), std::string::npos) << text;
}

TEST(IniSection, SetKeyRefusesWhatCouldNotBeLoadedAgain)
{
    TestFolder folder;
    std::string ini = folder.Write("setkey.ini", "[S]\r\nP0=Alice\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_FALSE(section.SetKey("P1", MAX_PATH + 1));
    EXPECT_FALSE(section.SetKey("", MAX_PATH));
    EXPECT_FALSE(section.SetKey(nullptr, MAX_PATH));
    const std::string tooLong(MAX_PATH, 'k');
    EXPECT_FALSE(section.SetKey(tooLong.c_str(), MAX_PATH));
    const char unterminated[4] = { 'P', '7', '7', '7' };
    EXPECT_FALSE(section.SetKey(unterminated, sizeof unterminated)) << "no NUL within the caller's buffer";
    EXPECT_STREQ(section.GetKey(), "P0");
    EXPECT_TRUE(section.SetKey(std::string(259, 'k').c_str(), MAX_PATH));
    EXPECT_TRUE(section.WriteSection());
    EXPECT_EQ(Entries(section), (Pairs{{std::string(259, 'k'), "Alice"}}));
}

TEST(IniSection, AddEntryKeepsTheOldEntriesAndAppendsOne)
{
    TestFolder folder;
    std::string ini = folder.Write("add.ini", "[S]\r\nP0=Alice\r\nP1=Bob ; old\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_FALSE(section.AddEntry(nullptr, "x")) << "a NULL key would delete the section";
    EXPECT_FALSE(section.AddEntry("P2", nullptr)) << "a NULL value would delete the key";
    EXPECT_FALSE(section.AddEntry("", "x"));
    EXPECT_EQ(section.GetCount(), 2u);
    EXPECT_TRUE(section.AddEntry("P2", "Carol"));
    EXPECT_EQ(Entries(section), (Pairs{{"P0", "Alice"}, {"P1", "Bob"}, {"P2", "Carol"}}));
    EXPECT_EQ(ReadWholeFile(ini).find("; old"), std::string::npos);
}

TEST(IniSection, OpenTellsWhatItRead)
{
    LoggingOn on;
    TestFolder folder;
    const std::string bytes = "[S]\r\nA=1\r\nB=2\r\n";
    std::string ini = folder.Write("log.ini", bytes);
    std::string missing = folder.PathOf("missing.ini");

    TraceMark mark;
    CIniSection section;
    EXPECT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_FALSE(section.Open(missing.c_str(), "S"));
    EXPECT_FALSE(section.Open(ini.c_str(), "Nothing"));

    typedef std::pair<std::string, std::string> Logged;
    const std::string source = "CIniSection::Open";
    const std::string size = std::to_string(bytes.size());
    EXPECT_EQ(LoggedSince(mark), (std::vector<Logged>{
        {source, "Filename: " + ini + "; filesize: " + size},
        {source, "Filename: " + ini + "; section: S; buffread: A=1; readSize: 8"},
        {source, "Filename: " + missing + "; filesize: 0"},
        {source, "Filename: " + ini + "; filesize: " + size},
        {source, "Filename: " + ini + "; section: Nothing; buffread: ; readSize: 0"}}));
}

