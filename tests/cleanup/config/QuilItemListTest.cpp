// CQuilItemList::ReadItems on list sections and their item sections.
#include <gtest/gtest.h>

#include <string>

#include "ConfigTestFiles.h"
#include "ConfigurationSnapshot.h"
#include "config/QuilItemList.h"

namespace {

typedef std::pair<std::string, std::string> Logged;

// What ReadItems itself logged, without the reader's own lines.
std::vector<Logged> ReadItemsLog(const TraceMark& mark)
{
    std::vector<Logged> logged;
    for (const Logged& entry : LoggedSince(mark)) {
        if (entry.first != "CIniSection::Open")
            logged.push_back(entry);
    }
    return logged;
}

} // namespace

TEST(QuilItemList, ItemsComeFromTheSectionsThatTheLinesName)
{
    TestFolder folder;
    std::string ini = folder.Write("lists.ini",
        "[Directories]\r\nDir1=TempDir\r\nDir2=Both ;two actions\r\nDir3=WrongKind\r\nDir4=NoSuchSection\r\n"
        "[TempDir]\r\nPath=C:\\Temp\r\nAction=DIR_EMPTY\r\nActionTrigger=SVC_STARTUP, USER_LOGOFF\r\n"
        "[Both]\r\nPath=C:\\Scratch ;not a comment here\r\nAction=DIR_DELETE DIR_EMPTY\r\nActionTrigger=user_shutdown\r\n"
        "[WrongKind]\r\nPath=C:\\Logs\r\nAction=FILE_DELETE\r\nActionTrigger=USER_LOGOFF\r\n"
        "[Files]\r\nF=OldLogs\r\nG=EmptyDir\r\n"
        "[OldLogs]\r\nPath=C:\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=Startup\r\n"
        "[EmptyDir]\r\nPath=C:\\Logs\r\nAction=DIR_EMPTY\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[Applications]\r\nA=Sweeper\r\n"
        "[Sweeper]\r\nPath=\"C:\\Tools\\sweep.exe\" /quiet\r\nAction=APP_EXECUTE\r\nActionTrigger=SVC_STARTUP\r\n");

    CQuilItemList directories;
    EXPECT_TRUE(directories.ReadItems(LIST_DIRECTORIES, ini.c_str()));
    EXPECT_EQ(ItemsOf(directories), (std::vector<SnapshotItem>{
        {"C:\\Temp", KIND_DIRECTORY, 3, DIR_EMPTY},
        {"C:\\Scratch ;not a comment here", KIND_DIRECTORY, 4, DIR_DELETE},
        {"C:\\Logs", KIND_DIRECTORY, 2, ACTION_NONE},
        {"", KIND_DIRECTORY, 0, ACTION_NONE}}));

    CQuilItemList files;
    EXPECT_TRUE(files.ReadItems(LIST_FILES, ini.c_str()));
    EXPECT_EQ(ItemsOf(files), (std::vector<SnapshotItem>{
        {"C:\\Logs\\*.log", KIND_FILE, 0, FILE_DELETE},
        {"C:\\Logs", KIND_FILE, 4, ACTION_NONE}}));

    CQuilItemList applications;
    EXPECT_TRUE(applications.ReadItems(LIST_APPLICATIONS, ini.c_str()));
    EXPECT_EQ(ItemsOf(applications), (std::vector<SnapshotItem>{
        {"\"C:\\Tools\\sweep.exe\" /quiet", KIND_APPLICATION, 1, APP_EXECUTE}}))
        << "only enclosing quotes are removed";
}

TEST(QuilItemList, ProfilesSkipTheTriggerLineWhereverItStands)
{
    TestFolder folder;
    const char* layouts[] = {
        "[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nU1=Guest\r\nU2=kiosk\r\n",
        "[Profiles]\r\nU1=Guest\r\nActionTrigger=USER_LOGOFF\r\nU2=kiosk\r\n",
        "[Profiles]\r\nU1=Guest\r\nU2=kiosk\r\nactiontrigger=USER_LOGOFF\r\n",
    };
    for (const char* layout : layouts) {
        std::string ini = folder.Write("profiles.ini", layout);
        CQuilItemList profiles;
        EXPECT_TRUE(profiles.ReadItems(LIST_PROFILES, ini.c_str()));
        EXPECT_EQ(ItemsOf(profiles), (std::vector<SnapshotItem>{
            {"Guest", KIND_PROFILE, USER_LOGOFF, ACTION_NONE},
            {"kiosk", KIND_PROFILE, USER_LOGOFF, ACTION_NONE}})) << layout;
    }
}

TEST(QuilItemList, ProfilesExpectOneTriggerLine)
{
    TestFolder folder;
    CQuilItemList profiles;

    std::string noTrigger = folder.Write("a.ini", "[Profiles]\r\nA=x\r\nB=y\r\n");
    EXPECT_TRUE(profiles.ReadItems(LIST_PROFILES, noTrigger.c_str()));
    EXPECT_EQ(ItemsOf(profiles), (std::vector<SnapshotItem>{{"x", KIND_PROFILE, 0, ACTION_NONE}}))
        << "the last line is not loaded";

    std::string oldKey = folder.Write("b.ini", "[Profiles]\r\nOldActionTrigger=USER_LOGOFF\r\nU=kiosk\r\n");
    EXPECT_TRUE(profiles.ReadItems(LIST_PROFILES, oldKey.c_str()));
    EXPECT_EQ(ItemsOf(profiles), (std::vector<SnapshotItem>{{"kiosk", KIND_PROFILE, 0, ACTION_NONE}}))
        << "passed over like the trigger line; only \"ActionTrigger\" itself gives triggers";

    // Two trigger lines: no line is read twice and no trigger text becomes a name.
    std::string twoTriggers = folder.Write("c.ini",
        "[Profiles]\r\nActionTrigger=USER_SHUTDOWN\r\nU1=Guest\r\nOldActionTrigger=USER_LOGOFF\r\n");
    EXPECT_TRUE(profiles.ReadItems(LIST_PROFILES, twoTriggers.c_str()));
    EXPECT_EQ(ItemsOf(profiles), (std::vector<SnapshotItem>{{"Guest", KIND_PROFILE, USER_SHUTDOWN, ACTION_NONE}}));

    std::string onlyTriggers = folder.Write("d.ini",
        "[Profiles]\r\nActionTrigger=USER_SHUTDOWN\r\nMyActionTrigger=x\r\n");
    EXPECT_FALSE(profiles.ReadItems(LIST_PROFILES, onlyTriggers.c_str()));
    EXPECT_EQ(profiles.GetCount(), 0u);
    EXPECT_FALSE(profiles.MoveFirst());

    std::string onlyLine = folder.Write("e.ini", "[Profiles]\r\nActionTrigger=USER_SHUTDOWN\r\n");
    EXPECT_FALSE(profiles.ReadItems(LIST_PROFILES, onlyLine.c_str()));
}

TEST(QuilItemList, ReadingTellsWhatWasExpected)
{
    LoggingOn on;
    TestFolder folder;
    std::string ini = folder.Write("count.ini",
        "[Files]\r\n[Profiles]\r\nU1=Guest\r\nActionTrigger=USER_LOGOFF, USER_SHUTDOWN\r\n"
        "[Applications]\r\nA1=App\r\nA2=App\r\n[Directories]\r\nD=Dir\r\n");
    std::string empty = folder.Write("empty.ini", "");
    const std::string source = "CQuilItemList::ReadItems";

    CQuilItemList list;
    TraceMark files;
    EXPECT_FALSE(list.ReadItems(LIST_FILES, ini.c_str()));
    EXPECT_EQ(ReadItemsLog(files), (std::vector<Logged>{{source, "Files expected: 0"}}));

    TraceMark profiles;
    EXPECT_TRUE(list.ReadItems(LIST_PROFILES, ini.c_str()));
    EXPECT_EQ(ReadItemsLog(profiles), (std::vector<Logged>{
        {source, "Profiles expected: 1"}, {source, "Read First Item"},
        {"ReadProfiles", "Profile Action Trigger: USER_LOGOFF, USER_SHUTDOWN"}}));

    TraceMark apps;
    EXPECT_TRUE(list.ReadItems(LIST_APPLICATIONS, ini.c_str()));
    EXPECT_EQ(ReadItemsLog(apps), (std::vector<Logged>{{source, "Apps expected: 2"}, {source, "Read First Item"}}));

    TraceMark directories;
    EXPECT_TRUE(list.ReadItems(LIST_DIRECTORIES, ini.c_str()));
    EXPECT_EQ(ReadItemsLog(directories), (std::vector<Logged>{{source, "Read First Item"}}));

    TraceMark noProfiles;
    EXPECT_FALSE(list.ReadItems(LIST_PROFILES, empty.c_str()));
    EXPECT_EQ(ReadItemsLog(noProfiles), (std::vector<Logged>{
        {source, "Profiles expected: -1"}, {source, "m_pList not allocated for -1 items"}}));
}

TEST(QuilItemList, AFailedReadEmptiesTheList)
{
    TestFolder folder;
    std::string ini = folder.Write("reload.ini", "[Files]\r\nF=X\r\n[X]\r\nPath=C:\\a\\*.*\r\n");
    CQuilItemList list;
    ASSERT_TRUE(list.ReadItems(LIST_FILES, ini.c_str()));
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_FALSE(list.ReadItems(4, ini.c_str()));
    EXPECT_FALSE(list.MoveFirst());
    ASSERT_TRUE(list.ReadItems(LIST_FILES, ini.c_str()));
    EXPECT_FALSE(list.ReadItems(-1, ini.c_str()));
    EXPECT_EQ(list.GetItem(), nullptr);
    ASSERT_TRUE(list.ReadItems(LIST_FILES, ini.c_str()));
    EXPECT_FALSE(list.ReadItems(LIST_DIRECTORIES, ini.c_str()));
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST(QuilItemList, AWalkOverOneItemVisitsItOnce)
{
    TestFolder folder;
    std::string ini = folder.Write("one.ini", "[Applications]\r\nA=X\r\n[X]\r\nPath=run.exe\r\n");
    CQuilItemList list;
    ASSERT_TRUE(list.ReadItems(LIST_APPLICATIONS, ini.c_str()));
    EXPECT_TRUE(list.MoveFirst());
    EXPECT_FALSE(list.MoveNext());
    EXPECT_STREQ(list.GetItem()->GetPath(), "run.exe");
    EXPECT_EQ(ItemsOf(list).size(), 1u);

    CQuilItemList empty;
    EXPECT_FALSE(empty.MoveFirst());
    EXPECT_FALSE(empty.MoveNext());
    EXPECT_EQ(empty.GetItem(), nullptr);
    EXPECT_FALSE(empty.FindName("x"));
}

TEST(QuilItemList, FindNameMatchesWholeProfileNamesOnly)
{
    TestFolder folder;
    std::string ini = folder.Write("names.ini",
        "[Profiles]\r\nActionTrigger=USER_LOGOFF\r\nK1=Administrator\r\nK2=Guest\r\nK3=guest\r\n"
        "[Directories]\r\nD=Guest\r\n[Guest]\r\nPath=Guest\r\n");
    CQuilItemList profiles;
    ASSERT_TRUE(profiles.ReadItems(LIST_PROFILES, ini.c_str()));
    EXPECT_TRUE(profiles.FindName("GUEST"));
    EXPECT_STREQ(profiles.GetItem()->GetName(), "Guest");
    EXPECT_FALSE(profiles.FindName("Admin"));
    EXPECT_FALSE(profiles.FindName(""));
    EXPECT_STREQ(profiles.GetItem()->GetName(), "Guest") << "a miss leaves current alone";

    CQuilItemList directories;
    ASSERT_TRUE(directories.ReadItems(LIST_DIRECTORIES, ini.c_str()));
    EXPECT_FALSE(directories.FindName("Guest")) << "items of other kinds have no name";
}

TEST(QuilItemList, ASizedListHoldsFreshItems)
{
    CQuilItemList list(3);
    EXPECT_EQ(list.GetCount(), 3u);
    ASSERT_TRUE(list.MoveFirst());
    int visited = 0;
    do {
        CleanupItem* item = list.GetItem();
        EXPECT_EQ(item->GetKind(), 0u);
        EXPECT_EQ(item->GetPath(), nullptr);
        item->SetKind(KIND_PROFILE);
        EXPECT_TRUE(item->SetName(visited == 1 ? "Second" : "other"));
        ++visited;
    } while (list.MoveNext());
    EXPECT_EQ(visited, 3);
    EXPECT_TRUE(list.FindName("second"));

    CQuilItemList none(0);
    EXPECT_EQ(none.GetCount(), 0u);
    EXPECT_FALSE(none.MoveFirst());
    CQuilItemList impossible(0xFFFFFFFFu);
    EXPECT_EQ(impossible.GetCount(), 0u) << "an allocation that fails leaves the list empty";
}
