// Profile cleanup against the terminal's real registry, INI calls and files.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineFiles.h"
#include "TerminalTrace.h"
#include "TestProfiles.h"
#include "config/Configuration.h"
#include "engine/ProfileCleanup.h"
#include "service/LogMessage.h"

namespace {

const char PROFILES[] = "C:\\engine\\profiles";

// Loads a configuration made of the given text, beside the profile folders.
void Configure(const std::string& name, const std::string& text)
{
    CreateDirectoryA("C:\\engine", NULL);
    std::string ini = "C:\\engine\\" + name + ".ini";
    WriteTextFile(ini, text);
    LoadConfigurationFrom(ini.c_str());
}

// A profile folder holding a file, so that a lost folder shows.
std::string ProfileFolder(const std::string& name)
{
    std::string folder = std::string(PROFILES) + "\\" + name;
    MakeFolder(folder);
    MakeFile(folder + "\\ntuser.dat");
    return folder;
}

} // namespace

TEST(SaveDynamicProfileName, KeepsOnlyTheLastUserByDefault)
{
    Configure("dyn1", "[SaveDynamicProfiles]\nP0=seed\n");
    ASSERT_EQ(maxDynamicProfiles, 1);
    SaveDynamicProfileName("alice", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=alice");
    SaveDynamicProfileName("bob", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=bob");
}

TEST(SaveDynamicProfileName, AppendsMovesAndTrimsWithThreeKept)
{
    Configure("dyn3", "[Parameters]\nSaveDynamicProfiles=3\n[SaveDynamicProfiles]\nP0=a\n");
    SaveDynamicProfileName("b", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=a|P1=b");
    SaveDynamicProfileName("c", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=a|P1=b|P2=c");
    SaveDynamicProfileName("d", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=b|P1=c|P2=d");
    SaveDynamicProfileName("B", MAX_PATH);    // already there: moved, not added
    EXPECT_EQ(DynamicSection(), "P0=c|P1=d|P2=b");
    SaveDynamicProfileName("d", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "P0=c|P1=b|P2=d");
}

TEST(SaveDynamicProfileName, AMissingSectionOrAnOversizedBufferSavesNothing)
{
    Configure("nodyn", "[Parameters]\nSaveDynamicProfiles=3\n");
    SaveDynamicProfileName("alice", MAX_PATH);
    EXPECT_EQ(DynamicSection(), "");
    Configure("big", "[SaveDynamicProfiles]\nP0=seed\n");
    SaveDynamicProfileName("alice", MAX_PATH + 1);
    EXPECT_EQ(DynamicSection(), "P0=seed");
}

TEST(GetDefaultUserName, ReadsWinlogonAndFailsWithoutTheValue)
{
    char name[MAX_PATH] = {};
    SetDefaultUserName("kiosk-user");
    EXPECT_TRUE(GetDefaultUserName(name));
    EXPECT_STREQ(name, "kiosk-user");
    RemoveDefaultUserName();
    EXPECT_FALSE(GetDefaultUserName(name));
}

TEST(ProfileNameFromPath, TakesTheLastPartCutBeforeItsLastFullStop)
{
    char name[MAX_PATH];
    EXPECT_TRUE(ProfileNameFromPath("C:\\Profiles\\Administrator.000", name));
    EXPECT_STREQ(name, "Administrator");
    EXPECT_TRUE(ProfileNameFromPath("C:\\Pro.files\\j.r.smith", name));
    EXPECT_STREQ(name, "j.r");
    EXPECT_TRUE(ProfileNameFromPath("C:\\Pro.files\\guest", name));
    EXPECT_STREQ(name, "guest");
    for (const char* nameless : { "C:\\Profiles\\", "C:\\Profiles\\.", "C:\\Profiles\\..", "C:\\Profiles\\. .",
                                  "guest", "" }) {
        EXPECT_FALSE(ProfileNameFromPath(nameless, name)) << nameless;
        EXPECT_STREQ(name, "") << nameless;
    }
}

class ProcessingProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearProfileList();
        FreshFolder("profiles");
    }
    void TearDown() override { dontDeleteDirs.RemoveAll(); }
};

TEST_F(ProcessingProfileTest, DeletesEveryProfileOnNoKeepList)
{
    Configure("keep",
              "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n"
              "[SaveDynamicProfiles]\nRecent=alice\nP0=bob\n"
              "[DontDeleteDirs]\nD=C:\\engine\\profiles\\guarded\n");
    const char* kept[] = { "Administrator.000", "default user", "kiosk", "ALICE", "bob.TERMINAL" };
    for (const char* name : kept)
        AddProfile(std::string("S-kept-") + name, ProfileFolder(name));
    AddProfile("S-admin2", ProfileFolder("Administrator2"));
    AddProfile("S-stranger", ProfileFolder("stranger"));
    AddProfile("S-guarded", ProfileFolder("guarded"));
    AddProfile("S-windows", "%SystemRoot%");   // refused by CanCleanDir
    const int windowsEntries = CountEntries("C:\\windows");

    ProcessingProfile();

    for (const char* name : kept) {
        EXPECT_TRUE(ProfileKeyExists(std::string("S-kept-") + name)) << name;
        EXPECT_TRUE(Exists(std::string(PROFILES) + "\\" + name + "\\ntuser.dat")) << name;
    }
    EXPECT_FALSE(ProfileKeyExists("S-admin2"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\Administrator2"));
    EXPECT_FALSE(ProfileKeyExists("S-stranger"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\stranger"));
    EXPECT_TRUE(ProfileKeyExists("S-guarded"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\guarded\\ntuser.dat"));
    EXPECT_TRUE(ProfileKeyExists("S-windows"));
    EXPECT_EQ(CountEntries("C:\\windows"), windowsEntries);
}

TEST_F(ProcessingProfileTest, OneSubkeyWithoutImagePathStopsEveryDeletion)
{
    Configure("noimage", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n");
    AddProfile("S-a", ProfileFolder("stranger"));
    AddProfileWithoutImagePath("S-b");
    AddProfile("S-c", ProfileFolder("other"));
    ProcessingProfile();
    EXPECT_TRUE(ProfileKeyExists("S-a"));
    EXPECT_TRUE(ProfileKeyExists("S-c"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\stranger\\ntuser.dat"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\other\\ntuser.dat"));
}

// One malformed entry must not cost every user their profile.
TEST_F(ProcessingProfileTest, ProfilesWithoutANameAreNeverDeleted)
{
    Configure("nameless", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n");
    ProfileFolder("kiosk");
    ProfileFolder("stranger");
    FreshFolder("profiles-inner");
    MakeFile("C:\\engine\\profiles-inner\\x.dat");
    AddProfile("S-kiosk", std::string(PROFILES) + "\\kiosk");
    AddProfile("S-stranger", std::string(PROFILES) + "\\stranger");
    AddProfile("S-slash", std::string(PROFILES) + "\\");
    AddProfile("S-dot", std::string(PROFILES) + "\\.");
    AddProfile("S-dotdot", "C:\\engine\\profiles-inner\\..");
    AddProfile("S-relative", "stranger");

    logDisabled = 0;
    TraceMark mark;
    ProcessingProfile();
    logDisabled = 1;

    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\kiosk\\ntuser.dat"));
    EXPECT_TRUE(Exists("C:\\engine\\profiles-inner\\x.dat"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\stranger"));
    EXPECT_FALSE(ProfileKeyExists("S-stranger"));
    for (const char* key : { "S-kiosk", "S-slash", "S-dot", "S-dotdot", "S-relative" })
        EXPECT_TRUE(ProfileKeyExists(key)) << key;

    std::vector<std::string> passedOver;
    for (const EventLogEntry& entry : mark.NewEntries()) {
        if (entry.source == "ProcessingProfile" && entry.strings.at(0).find("Passing over") == 0)
            passedOver.push_back(entry.strings.at(0));
    }
    const std::string prefix =
        "Passing over profile without a name: SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST\\";
    std::vector<std::string> expected;
    for (const char* key : { "S-dot", "S-dotdot", "S-relative", "S-slash" })
        expected.push_back(prefix + key);
    std::sort(passedOver.begin(), passedOver.end());
    EXPECT_EQ(passedOver, expected);
}

TEST_F(ProcessingProfileTest, AnEmptyProfileListDeletesNothing)
{
    Configure("empty", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n");
    ProfileFolder("stranger");
    ProcessingProfile();
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\stranger\\ntuser.dat"));
}
