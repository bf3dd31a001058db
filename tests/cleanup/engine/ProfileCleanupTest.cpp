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
#include "engine/EventProcessing.h"
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

FILETIME WriteTime(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
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

// An empty name is nobody: remembering it would push a real user out.
TEST(SaveDynamicProfileName, ABlankNameChangesNothing)
{
    Configure("blank", "[Parameters]\nSaveDynamicProfiles=2\n[SaveDynamicProfiles]\nP0=carol\n");
    EXPECT_FALSE(SaveDynamicProfileName("", MAX_PATH));
    EXPECT_FALSE(SaveDynamicProfileName(" \t ", MAX_PATH));
    EXPECT_TRUE(SaveDynamicProfileName("dave", MAX_PATH));
    EXPECT_EQ(DynamicSection(), "P0=carol|P1=dave");
}

// Sections seeded by hand: the keys' numbers give the order, the result is
// written once as P0..Pn-1, and not at all when nothing changes; a line with
// a key of another form is the administrator's own and stays as it stands.
TEST(SaveDynamicProfileName, HandEditedKeysAreRebuiltInOrder)
{
    const char* const cases[][4] = {   // maximum, section, name saved, result
        { "3", "P1=b\nP2=c", "d", "P0=b|P1=c|P2=d" },
        { "3", "P2=c\nP1=b", "B", "P0=c|P1=b" },
        { "3", "P1=kiosk", "x", "P0=kiosk|P1=x" },
        { "2", "P0=a\nP3=b\nP5=c\nP4=b", "d", "P0=c|P1=d" },
        { "1", "Pin=kiosk", "e", "P0=e|Pin=kiosk" },
        { "3", "P0=a\nSeed=s", "e", "P0=a|P1=e|Seed=s" },
    };
    for (const auto& c : cases) {
        Configure("hand", std::string("[Parameters]\nSaveDynamicProfiles=") + c[0] + "\n[SaveDynamicProfiles]\n" + c[1] + "\n");
        EXPECT_TRUE(SaveDynamicProfileName(c[2], MAX_PATH));
        EXPECT_EQ(DynamicSection(), c[3]) << c[1];
    }
    HANDLE file = CreateFileA(iniPath, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    const FILETIME old = { 0, 30000000 };   // 2001
    SetFileTime(file, NULL, NULL, &old);
    CloseHandle(file);
    EXPECT_TRUE(SaveDynamicProfileName("E", MAX_PATH));
    EXPECT_EQ(WriteTime(iniPath).dwHighDateTime, old.dwHighDateTime) << "the newest name again needs no write";
    EXPECT_TRUE(SaveDynamicProfileName("f", MAX_PATH));
    EXPECT_EQ(DynamicSection(), "P0=a|P1=e|P2=f|Seed=s");
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
        ForgetDynamicProfiles();    // left by the tests of SaveDynamicProfileName
    }
    void TearDown() override { dontDeleteDirs.RemoveAll(); }
};

// Only users' accounts (S-1-5-21-...) are candidates.
const std::string USER = "S-1-5-21-1-2-3-";

TEST_F(ProcessingProfileTest, DeletesEveryProfileOnNoKeepList)
{
    Configure("keep",
              "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\nK2=john.smith\n"
              "[SaveDynamicProfiles]\nRecent=alice\nP0=bob\nP1=ann.lee\n"
              "[DontDeleteDirs]\nD=C:\\engine\\profiles\\guarded\n");
    // The five fixed names in any case, whole folder names and names cut
    // before the last full stop.
    const char* kept[] = { "plinkett", "ADMINISTRATOR.000", "administrator", "Default User", "DEFAULT_USER",
                           "QuantorPolis", "quantorpolis.TERMINAL", "kiosk", "ALICE", "bob.TERMINAL",
                           "john.smith", "ann.lee", "ANN.LEE.001" };
    for (const char* name : kept)
        AddProfile(USER + "kept-" + name, ProfileFolder(name));
    AddProfile(USER + "admin2", ProfileFolder("Administrator2"));
    AddProfile(USER + "stranger", ProfileFolder("stranger"));
    AddProfile(USER + "john", ProfileFolder("john.smith2"));
    AddProfile(USER + "guarded", ProfileFolder("guarded"));
    AddProfile(USER + "windows", "%SystemRoot%");   // refused by CanCleanDir
    // The system's own accounts are on no keep-list and are never candidates.
    AddProfile("S-1-5-18", ProfileFolder("systemprofile"));
    AddProfile("S-1-5-19", ProfileFolder("LocalService"));
    AddProfile("S-1-5-21", ProfileFolder("incomplete"));
    const int windowsEntries = CountEntries("C:\\windows");

    ProcessingProfile();

    for (const char* name : kept) {
        EXPECT_TRUE(ProfileKeyExists(USER + "kept-" + name)) << name;
        EXPECT_TRUE(Exists(std::string(PROFILES) + "\\" + name + "\\ntuser.dat")) << name;
    }
    for (const char* name : { "Administrator2", "stranger", "john.smith2" })
        EXPECT_FALSE(Exists(std::string(PROFILES) + "\\" + name)) << name;
    for (const char* key : { "admin2", "stranger", "john" })
        EXPECT_FALSE(ProfileKeyExists(USER + key)) << key;
    EXPECT_TRUE(ProfileKeyExists(USER + "guarded"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\guarded\\ntuser.dat"));
    EXPECT_TRUE(ProfileKeyExists(USER + "windows"));
    EXPECT_EQ(CountEntries("C:\\windows"), windowsEntries);
    for (const char* name : { "systemprofile", "LocalService", "incomplete" })
        EXPECT_TRUE(Exists(std::string(PROFILES) + "\\" + name + "\\ntuser.dat")) << name;
    for (const char* key : { "S-1-5-18", "S-1-5-19", "S-1-5-21" })
        EXPECT_TRUE(ProfileKeyExists(key)) << key;
}

// The recent users are on the keep-list only if it could be read.
TEST_F(ProcessingProfileTest, AKeepListThatCannotBeReadDeletesNothing)
{
    Configure("held", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n[SaveDynamicProfiles]\nP0=alice\n");
    AddProfile(USER + "alice", ProfileFolder("alice"));
    AddProfile(USER + "stranger", ProfileFolder("stranger"));
    HANDLE held = CreateFileA(iniPath, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ProcessingProfile();
    CloseHandle(held);
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\alice\\ntuser.dat"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\stranger\\ntuser.dat"));
    ProcessingProfile();
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\alice\\ntuser.dat"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\stranger"));
}

// A user whose hive is loaded under HKEY_USERS is logged on; the terminal has
// its own user's hive loaded.
TEST_F(ProcessingProfileTest, AProfileInUseIsPassedOverWithALogEntry)
{
    char loaded[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    for (DWORD i = 0; std::string(loaded).rfind("S-1-5-21-", 0) != 0; ++i, size = MAX_PATH)
        ASSERT_EQ(RegEnumKeyExA(HKEY_USERS, i, loaded, &size, NULL, NULL, NULL, NULL), ERROR_SUCCESS) << "no user logged on";
    Configure("inuse", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n");
    AddProfile(loaded, ProfileFolder("inuse"));
    AddProfile(USER + "stranger", ProfileFolder("stranger"));
    logDisabled = 0;
    TraceMark mark;
    ProcessingProfile();
    logDisabled = 1;
    EXPECT_TRUE(ProfileKeyExists(loaded));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\inuse\\ntuser.dat"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\stranger"));
    std::vector<EventLogEntry> entries = mark.NewEntries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const EventLogEntry& entry) {
        return entry.strings.at(0) == "Passing over profile in use: inuse";
    }));
}

TEST_F(ProcessingProfileTest, OneSubkeyWithoutImagePathStopsEveryDeletion)
{
    Configure("noimage", "[Profiles]\nActionTrigger=USER_LOGOFF\nK1=kiosk\n");
    AddProfile(USER + "a", ProfileFolder("stranger"));
    AddProfileWithoutImagePath(USER + "b");
    AddProfile(USER + "c", ProfileFolder("other"));
    ProcessingProfile();
    EXPECT_TRUE(ProfileKeyExists(USER + "a"));
    EXPECT_TRUE(ProfileKeyExists(USER + "c"));
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
    AddProfile(USER + "kiosk", std::string(PROFILES) + "\\kiosk");
    AddProfile(USER + "stranger", std::string(PROFILES) + "\\stranger");
    AddProfile(USER + "slash", std::string(PROFILES) + "\\");
    AddProfile(USER + "dot", std::string(PROFILES) + "\\.");
    AddProfile(USER + "dotdot", "C:\\engine\\profiles-inner\\..");
    AddProfile(USER + "relative", "stranger");

    logDisabled = 0;
    TraceMark mark;
    ProcessingProfile();
    logDisabled = 1;

    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\kiosk\\ntuser.dat"));
    EXPECT_TRUE(Exists("C:\\engine\\profiles-inner\\x.dat"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\stranger"));
    EXPECT_FALSE(ProfileKeyExists(USER + "stranger"));
    for (const char* key : { "kiosk", "slash", "dot", "dotdot", "relative" })
        EXPECT_TRUE(ProfileKeyExists(USER + key)) << key;

    std::vector<std::string> passedOver;
    for (const EventLogEntry& entry : mark.NewEntries()) {
        if (entry.source == "ProcessingProfile" && entry.strings.at(0).find("Passing over") == 0)
            passedOver.push_back(entry.strings.at(0));
    }
    const std::string prefix =
        "Passing over profile without a name: SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST\\" + USER;
    std::vector<std::string> expected;
    for (const char* key : { "dot", "dotdot", "relative", "slash" })
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

// The case: a hand-written Pin=kiosk beside the recent users. A
// logoff of carol rewrites only the numbered lines, and kiosk keeps its
// profile as the section's own line says.
TEST_F(ProcessingProfileTest, TheAdministratorsOwnLinesStayAndKeepTheirProfiles)
{
    Configure("ownlines", "[Profiles]\nActionTrigger=USER_LOGOFF\n[SaveDynamicProfiles]\nPin=kiosk\nP0=alice\n");
    for (const char* name : { "kiosk", "alice", "carol" })
        AddProfile(USER + name, ProfileFolder(name));
    SetDefaultUserName("carol");
    ProcessEvents(USER_LOGOFF);
    RemoveDefaultUserName();
    EXPECT_EQ(DynamicSection(), "P0=carol|Pin=kiosk");
    for (const char* name : { "kiosk", "carol" })
        EXPECT_TRUE(ProfileKeyExists(USER + name) && Exists(std::string(PROFILES) + "\\" + name + "\\ntuser.dat")) << name;
    EXPECT_FALSE(ProfileKeyExists(USER + "alice") || Exists(std::string(PROFILES) + "\\alice")) << "pushed out by carol";
}

// The user remembered at an event is kept at that event although the file
// could not take the new list, here because another program holds it open
// without write sharing. (On the test terminal Wine writes a read-only file
// all the same: its tests run as the Unix superuser.)
TEST_F(ProcessingProfileTest, TheUserRememberedIsKeptWhenTheSectionCannotBeWritten)
{
    Configure("unwritable", "[Profiles]\nActionTrigger=USER_LOGOFF\n[SaveDynamicProfiles]\nP0=alice\n");
    for (const char* name : { "alice", "carol" })
        AddProfile(USER + name, ProfileFolder(name));
    HANDLE holder = CreateFileA(iniPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    SetDefaultUserName("carol");
    logDisabled = 0;
    TraceMark mark;
    ProcessEvents(USER_LOGOFF);
    logDisabled = 1;
    RemoveDefaultUserName();
    CloseHandle(holder);
    EXPECT_EQ(DynamicSection(), "P0=alice") << "the file was written";
    EXPECT_TRUE(ProfileKeyExists(USER + "carol"));
    EXPECT_TRUE(Exists(std::string(PROFILES) + "\\carol\\ntuser.dat"));
    EXPECT_FALSE(Exists(std::string(PROFILES) + "\\alice")) << "no longer among the recent users";
    std::vector<EventLogEntry> entries = mark.NewEntries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const EventLogEntry& entry) {
        return entry.strings.at(0).find("[SaveDynamicProfiles] could not be written to ") == 0;
    }));
}
