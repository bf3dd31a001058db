// Scans and comparisons on a double-byte ANSI code page (932). In it the trail
// byte of many characters is "\" (0x5C) or a Latin letter, which a scan byte by
// byte takes for a separator or folds to another character.
//
// These tests need the terminal to run with that code page; ctest runs them in
// a second entry that sets it up and names it in FENWASH_TEST_CODE_PAGE, where
// any other code page fails them. Elsewhere they are skipped.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "ConfigTestFiles.h"
#include "ConfigurationSnapshot.h"
#include "config/AnsiText.h"
#include "config/Configuration.h"
#include "config/DirList.h"
#include "config/IniSection.h"

namespace {

// Characters of code page 932.
const char TABLE[] = "\x95\x5c";          // a kanji whose trail byte is "\"
const char SO[] = "\x83\x5c";             // a katakana whose trail byte is "\"
const char A_KATAKANA[] = "\x83\x41";     // trail byte "A"
const char TSU_SMALL[] = "\x83\x62";      // trail byte "b"
const char TSU[] = "\x83\x61";            // trail byte "a": a byte fold makes it A_KATAKANA
const char FULLWIDTH_A[] = "\x82\x60";    // upper case of FULLWIDTH_a
const char FULLWIDTH_a[] = "\x82\x81";

class DoubleByte : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* required = getenv("FENWASH_TEST_CODE_PAGE");
        if (required != nullptr)
            ASSERT_EQ(GetACP(), (UINT)atoi(required)) << "the terminal did not take the code page";
        else if (GetACP() != 932)
            GTEST_SKIP() << "needs the ANSI code page 932; this terminal has " << GetACP();
    }
};

} // namespace

TEST_F(DoubleByte, TrailBackslashesAreNoBackslashes)
{
    const std::string kanjiDir = std::string("C:\\") + TABLE;
    const std::string kanaDir = std::string("D:\\") + SO + "\\";
    TestFolder folder;
    const std::string ini = folder.Write("dbcs.ini",
        "[DontDeleteDirs]\r\nA=" + kanjiDir + "\r\nB=" + kanaDir + "\r\nC=" + kanjiDir + " ;old\r\n"
        "[Directories]\r\nD=" + std::string(TABLE) + "\r\n"
        "[" + std::string(TABLE) + "]\r\nPath=" + kanjiDir + "\r\nAction=DIR_EMPTY\r\n");
    LoadConfigurationFrom(ini.c_str());
    ConfigurationSnapshot snapshot = TakeSnapshot();
    EXPECT_EQ(snapshot.protectedDirectories, (std::vector<std::string>{kanjiDir + "\\", kanaDir, kanjiDir + "\\"}))
        << "a backslash is added after the kanji, none after the real one, and the comment "
           "stops at the kanji";
    EXPECT_EQ(snapshot.directories, (std::vector<SnapshotItem>{{kanjiDir, KIND_DIRECTORY, 0, DIR_EMPTY}}));
}

TEST_F(DoubleByte, CaseIsIgnoredPerCharacterNotPerByte)
{
    CDirList list;
    list.Add((std::string("C:\\") + A_KATAKANA + "\\").c_str());
    list.Add((std::string("C:\\") + FULLWIDTH_A + "\\").c_str());
    EXPECT_TRUE(list.Contains((std::string("c:\\") + A_KATAKANA + "\\").c_str()));
    EXPECT_FALSE(list.Contains((std::string("C:\\") + TSU + "\\").c_str()))
        << "a different character, equal only byte by byte with case folded";
    EXPECT_TRUE(list.Contains((std::string("C:\\") + FULLWIDTH_a + "\\").c_str()))
        << "the full-width letters have case too";

    TestFolder folder;
    const std::string ini = folder.Write("names.ini",
        std::string("[S]\r\nP0=") + TSU + TSU_SMALL + "\r\nP1=" + A_KATAKANA + "b\r\n");
    CIniSection section;
    ASSERT_TRUE(section.Open(ini.c_str(), "S"));
    EXPECT_TRUE(section.FindValue((std::string(A_KATAKANA) + "B").c_str()));
    EXPECT_STREQ(section.GetKey(), "P1");
    EXPECT_FALSE(section.FindValue((std::string(TSU) + "\x83\x42").c_str()));
}

TEST_F(DoubleByte, KeywordsStartOnACharacter)
{
    // 0x83 0x53 is a katakana whose trail byte is "S": "SVC_STARTUP" is there
    // byte by byte, but not as characters.
    CleanupItem item;
    item.SetKind(KIND_DIRECTORY);
    EXPECT_FALSE(item.AddTriggers("\x83\x53VC_STARTUP"));
    EXPECT_TRUE(item.AddTriggers("\x83\x53 USER_LOGOFF"));
    EXPECT_EQ(item.GetTriggers(), (DWORD)USER_LOGOFF);
}

TEST_F(DoubleByte, LongValuesStayInTheirFields)
{
    std::string kanji;
    for (int i = 0; i < 1000; ++i)
        kanji += TABLE;
    TestFolder folder;
    const std::string ini = folder.Write("long.ini",
        "[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nK=" + kanji + "\r\nL=" + kanji.substr(0, 258)
        + "\r\n[DontDeleteDirs]\r\nA=" + kanji + "\r\n");
    LoadConfigurationFrom(ini.c_str());
    ConfigurationSnapshot snapshot = TakeSnapshot();
    ASSERT_EQ(snapshot.profiles.size(), 2u);
    EXPECT_EQ(snapshot.profiles[0].text, "") << "too long: refused whole, never cut inside a character";
    EXPECT_EQ(snapshot.profiles[1].text, kanji.substr(0, 258)) << "129 characters of two bytes fit";
    for (const std::string& path : snapshot.protectedDirectories)
        EXPECT_LT(path.size(), (size_t)MAX_PATH);
}

TEST_F(DoubleByte, PathSeparatorsAndWildcardsGoByCharacters)
{
    const std::string name = std::string(SO) + "x.log";   // the katakana's trail byte is "\"
    EXPECT_STREQ(FindLastPathSeparator(("C:\\Logs/" + name).c_str()), ("/" + name).c_str());
    EXPECT_TRUE(MatchesWildcard(name.c_str(), (std::string(SO) + "*.LOG").c_str()));
    EXPECT_TRUE(MatchesWildcard((std::string(A_KATAKANA) + ".log").c_str(), "?.log")) << "one character, one ?";
    EXPECT_FALSE(MatchesWildcard((std::string(TSU) + ".log").c_str(), (std::string(A_KATAKANA) + ".log").c_str()));
}
