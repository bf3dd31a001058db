// LoadConfiguration: Fenwash.ini into the process-wide settings and lists.
#include <gtest/gtest.h>

#include <string>

#include "ConfigTestFiles.h"
#include "ConfigurationSnapshot.h"
#include "TestProgram.h"
#include "config/Configuration.h"

TEST(Configuration, TheExampleLoadsAsItsTableDescribes)
{
    const std::string example = TestProgramFolder() + "examples\\Fenwash.ini";
    ASSERT_NE(GetFileAttributesA(example.c_str()), INVALID_FILE_ATTRIBUTES) << example;
    LoadConfigurationFrom(example.c_str());

    ConfigurationSnapshot expected;
    expected.iniPath = example;
    expected.profileCleanupEnabled = 1;
    expected.maxDynamicProfiles = 2;
    expected.profileActionTrigger = "USER_LOGOFF, USER_SHUTDOWN";
    expected.profiles = {{"kiosk", KIND_PROFILE, USER_LOGOFF | USER_SHUTDOWN, ACTION_NONE}};
    expected.directories = {{"C:\\Temp", KIND_DIRECTORY, SVC_STARTUP | USER_LOGOFF, DIR_EMPTY}};
    expected.files = {{"C:\\Logs\\*.log", KIND_FILE, USER_SHUTDOWN, FILE_DELETE}};
    expected.applications = {{"C:\\Tools\\sweep.exe /quiet", KIND_APPLICATION, SVC_STARTUP, APP_EXECUTE}};
    expected.protectedDirectories = {"C:\\Temp\\Install\\"};
    EXPECT_EQ(TakeSnapshot(), expected);
    EXPECT_TRUE(dontDeleteDirs.Contains("c:\\temp\\install\\"));
}

TEST(Configuration, LoadConfigurationReadsFenwashIniBesideTheProgram)
{
    LoggingOn on;
    const std::string folder = TestProgramFolder();
    const std::string beside = folder + "Fenwash.ini";
    ASSERT_EQ(GetFileAttributesA(beside.c_str()), INVALID_FILE_ATTRIBUTES)
        << "this test expects no Fenwash.ini beside the test program";

    TraceMark mark;
    LoadConfiguration();
    EXPECT_EQ(std::string(iniPath), beside);
    std::vector<std::pair<std::string, std::string>> logged = LoggedSince(mark);
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged[0], std::make_pair(std::string("ServiceThread"), "CurrentDirectory: " + folder));
    ConfigurationSnapshot defaults;
    defaults.iniPath = beside;
    EXPECT_EQ(TakeSnapshot(), defaults) << "a missing file gives the start values and empty lists";
}

TEST(Configuration, CleanProfilesMustBeExactlyOne)
{
    TestFolder folder;
    struct Case { const char* parameters; BYTE enabled; LONG saved; };
    const Case cases[] = {
        { "CleanProfiles=1\r\n", 1, 1 },
        { "CleanProfiles=2\r\nSaveDynamicProfiles=5\r\n", 0, 5 },
        { "CleanProfiles=0\r\n", 0, 1 },
        { "CleanProfiles=yes\r\n", 0, 1 },
        { "SaveDynamicProfiles=0\r\n", 1, 0 },
        { "", 1, 1 },
    };
    for (const Case& c : cases) {
        std::string ini = folder.Write("parameters.ini", std::string("[Parameters]\r\n") + c.parameters);
        LoadConfigurationFrom(ini.c_str());
        EXPECT_EQ(profileCleanupEnabled, c.enabled) << c.parameters;
        EXPECT_EQ(maxDynamicProfiles, c.saved) << c.parameters;
    }
}

TEST(Configuration, OnlyEventSummaryZeroTurnsTheSummaryOff)
{
    TestFolder folder;
    struct Case { const char* parameters; BYTE enabled; };
    const Case cases[] = {
        { "EventSummary=0\r\n", 0 },
        { "EventSummary= 0 \r\n", 0 },
        { "EventSummary=\"0\"\r\n", 0 },
        { "EventSummary=1\r\n", 1 },
        { "EventSummary=no\r\n", 1 },
        { "EventSummary=off\r\n", 1 },
        { "EventSummary=00\r\n", 1 },
        { "EventSummary=\r\n", 1 },
        { "", 1 },
    };
    for (const Case& c : cases) {
        std::string ini = folder.Write("summary.ini", std::string("[Parameters]\r\n") + c.parameters);
        LoadConfigurationFrom(ini.c_str());
        EXPECT_EQ(eventSummaryEnabled, c.enabled) << c.parameters;
    }
    // A file loaded after one that turned it off starts again from on.
    LoadConfigurationFrom(folder.Write("summary.ini", "[Parameters]\r\nEventSummary=0\r\n").c_str());
    LoadConfigurationFrom(folder.Write("other.ini", "[Parameters]\r\n").c_str());
    EXPECT_EQ(eventSummaryEnabled, 1);
}

TEST(Configuration, ProtectedDirectoriesEndInOneBackslash)
{
    TestFolder folder;
    std::string ini = folder.Write("protect.ini",
        "[DontDeleteDirs]\r\nA=C:\\Temp\\Install\r\nB=D:\\Keep\\\r\nC=E:\\Old\\ ;retired\r\n"
        "D=\r\nE=" + std::string(258, 'x') + "\r\nF=" + std::string(259, 'y') + "\r\n");
    LoadConfigurationFrom(ini.c_str());
    EXPECT_EQ(TakeSnapshot().protectedDirectories, (std::vector<std::string>{
        "C:\\Temp\\Install\\", "D:\\Keep\\", "E:\\Old\\", "\\", std::string(258, 'x') + "\\"}))
        << "a value with no room left for the backslash is not protected under another name";
}

// Cleaning compares the protected folders with the canonical form of the
// folder it is about to empty: another spelling of the same folder must
// protect it too, or the configuration's own keep-list is lost.
TEST(Configuration, ProtectedDirectoriesAreHeldInTheFormCleaningComparesWith)
{
    TestFolder folder;
    std::string ini = folder.Write("spellings.ini",
        "[DontDeleteDirs]\r\nA=C:/Kiosk/Keep\r\nB=C:\\Kiosk\\.\\Temp\\..\\Cache\\\r\n"
        "C=\\\\?\\C:\\Kiosk\\Spool.\r\nD=c:\\kiosk\\\\Mail\r\nE=\\\\server\\share\\x\r\n");
    LoadConfigurationFrom(ini.c_str());
    EXPECT_EQ(TakeSnapshot().protectedDirectories, (std::vector<std::string>{
        "C:\\Kiosk\\Keep\\", "C:\\Kiosk\\Cache\\", "C:\\Kiosk\\Spool\\", "c:\\kiosk\\Mail\\",
        "\\\\server\\share\\x\\"}))
        << "a value that is no full local path stays as written";
}

TEST(Configuration, ItemSectionsKeepTheirSemicolonsAndListSectionsDoNot)
{
    TestFolder folder;
    std::string ini = folder.Write("semicolon.ini",
        "[Directories]\r\nDir1=TempDir ;scratch\r\n"
        "[TempDir]\r\nPath=C:\\Temp ;scratch\r\nAction=DIR_EMPTY ;always\r\nActionTrigger=Startup\r\n"
        "[Profiles]\r\nActionTrigger=USER_LOGOFF ;at logoff\r\nK=kiosk ;the shop\r\n");
    LoadConfigurationFrom(ini.c_str());
    ConfigurationSnapshot snapshot = TakeSnapshot();
    EXPECT_EQ(snapshot.directories, (std::vector<SnapshotItem>{
        {"C:\\Temp ;scratch", KIND_DIRECTORY, 0, DIR_EMPTY}})) << "ActionTrigger=Startup names no event";
    EXPECT_EQ(snapshot.profileActionTrigger, "USER_LOGOFF ;at logoff");
    EXPECT_EQ(snapshot.profiles, (std::vector<SnapshotItem>{{"kiosk", KIND_PROFILE, USER_LOGOFF, ACTION_NONE}}));
}

TEST(Configuration, LoadingAgainReplacesEverything)
{
    TestFolder folder;
    std::string full = folder.Write("full.ini",
        "[Parameters]\r\nCleanProfiles=0\r\nSaveDynamicProfiles=9\r\n"
        "[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nK=kiosk\r\n"
        "[Files]\r\nF=X\r\n[X]\r\nPath=C:\\x\\*.tmp\r\n[DontDeleteDirs]\r\nK=C:\\Keep\r\n");
    LoadConfigurationFrom(full.c_str());
    LoadConfigurationFrom(full.c_str());
    EXPECT_EQ(TakeSnapshot().protectedDirectories, (std::vector<std::string>{"C:\\Keep\\"}));

    std::string bare = folder.Write("bare.ini", "[Unrelated]\r\nA=1\r\n");
    LoadConfigurationFrom(bare.c_str());
    ConfigurationSnapshot defaults;
    defaults.iniPath = bare;
    EXPECT_EQ(TakeSnapshot(), defaults);
}
