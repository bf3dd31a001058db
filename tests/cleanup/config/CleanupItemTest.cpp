// CleanupItem: keywords, kinds and the 260-byte fields.
#include <gtest/gtest.h>

#include <string>

#include "config/CleanupItem.h"

namespace {

CleanupItem OfKind(DWORD kind)
{
    CleanupItem item;
    item.SetKind(kind);
    return item;
}

} // namespace

TEST(CleanupItem, TriggersAreKeywordsFoundAnywhereInAnyCase)
{
    CleanupItem item = OfKind(KIND_DIRECTORY);
    EXPECT_TRUE(item.AddTriggers("USER_LOGOFF, USER_SHUTDOWN"));
    EXPECT_EQ(item.GetTriggers(), 6u);

    CleanupItem lower = OfKind(KIND_FILE);
    EXPECT_TRUE(lower.AddTriggers("svc_startup"));
    EXPECT_EQ(lower.GetTriggers(), 1u);

    CleanupItem glued = OfKind(KIND_FILE);
    EXPECT_TRUE(glued.AddTriggers("user_logoffUSER_SHUTDOWN|Svc_Startup"));
    EXPECT_EQ(glued.GetTriggers(), 7u);

    CleanupItem none = OfKind(KIND_FILE);
    EXPECT_FALSE(none.AddTriggers("STARTUP"));
    EXPECT_FALSE(none.AddTriggers("USER_LOG OFF; SHUTDOWN"));
    EXPECT_FALSE(none.AddTriggers(""));
    EXPECT_FALSE(none.AddTriggers(nullptr));
    EXPECT_EQ(none.GetTriggers(), 0u);
}

TEST(CleanupItem, TriggersAccumulateAndAreNeverCleared)
{
    CleanupItem item = OfKind(KIND_APPLICATION);
    EXPECT_TRUE(item.AddTriggers("USER_SHUTDOWN"));
    EXPECT_FALSE(item.AddTriggers("nothing"));
    EXPECT_TRUE(item.AddTriggers("SVC_STARTUP"));
    EXPECT_EQ(item.GetTriggers(), (DWORD)(SVC_STARTUP | USER_SHUTDOWN));
}

TEST(CleanupItem, AnActionCountsOnlyForItsOwnKind)
{
    struct Case { DWORD kind; const char* text; bool accepted; DWORD action; };
    const Case cases[] = {
        { KIND_DIRECTORY, "DIR_EMPTY", true, DIR_EMPTY },
        { KIND_DIRECTORY, "dir_delete", true, DIR_DELETE },
        { KIND_DIRECTORY, "DIR_DELETE DIR_EMPTY", true, DIR_DELETE },
        { KIND_DIRECTORY, "DIR_EMPTY DIR_DELETE", true, DIR_DELETE },
        { KIND_DIRECTORY, "FILE_DELETE", false, ACTION_NONE },
        { KIND_FILE, "FILE_DELETE", true, FILE_DELETE },
        { KIND_FILE, "DIR_EMPTY", false, ACTION_NONE },
        { KIND_FILE, "APP_EXECUTE", false, ACTION_NONE },
        { KIND_APPLICATION, "app_execute", true, APP_EXECUTE },
        { KIND_APPLICATION, "DIR_DELETE", false, ACTION_NONE },
        { KIND_PROFILE, "DIR_DELETE FILE_DELETE APP_EXECUTE", false, ACTION_NONE },
        { KIND_UNSET, "DIR_DELETE", false, ACTION_NONE },
    };
    for (const Case& c : cases) {
        CleanupItem item = OfKind(c.kind);
        EXPECT_EQ(item.SetAction(c.text), c.accepted) << c.kind << " " << c.text;
        EXPECT_EQ(item.GetAction(), c.action) << c.kind << " " << c.text;
    }
}

TEST(CleanupItem, AnActionOfAnotherKindLeavesTheOldOne)
{
    CleanupItem item = OfKind(KIND_DIRECTORY);
    EXPECT_TRUE(item.SetAction("DIR_EMPTY"));
    EXPECT_FALSE(item.SetAction("FILE_DELETE"));
    EXPECT_EQ(item.GetAction(), (DWORD)DIR_EMPTY);
}

TEST(CleanupItem, PathAndNameDependOnTheKind)
{
    CleanupItem fresh;
    EXPECT_EQ(fresh.GetKind(), 0u);
    EXPECT_EQ(fresh.GetTriggers(), 0u);
    EXPECT_EQ(fresh.GetAction(), 0u);
    EXPECT_EQ(fresh.GetPath(), nullptr);
    EXPECT_EQ(fresh.GetName(), nullptr);
    EXPECT_FALSE(fresh.SetPath("C:\\Temp"));
    EXPECT_FALSE(fresh.SetName("kiosk"));

    CleanupItem directory = OfKind(KIND_DIRECTORY);
    EXPECT_STREQ(directory.GetPath(), "");
    EXPECT_TRUE(directory.SetPath("C:\\Temp"));
    EXPECT_STREQ(directory.GetPath(), "C:\\Temp");
    EXPECT_FALSE(directory.SetName("kiosk"));
    EXPECT_EQ(directory.GetName(), nullptr);

    CleanupItem profile = OfKind(KIND_PROFILE);
    EXPECT_TRUE(profile.SetName("kiosk"));
    EXPECT_STREQ(profile.GetName(), "kiosk");
    EXPECT_TRUE(profile.SetPath("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1"));
    EXPECT_STREQ(profile.GetName(), "kiosk");
}

TEST(CleanupItem, TextsOf260CharactersOrMoreAreRefusedWhole)
{
    const std::string fits(259, 'p');
    const std::string tooLong(260, 'q');
    const std::string huge(2000, 'r');
    CleanupItem profile = OfKind(KIND_PROFILE);
    EXPECT_TRUE(profile.SetPath(fits.c_str()));
    EXPECT_TRUE(profile.SetName(fits.c_str()));
    EXPECT_FALSE(profile.SetPath(tooLong.c_str()));
    EXPECT_FALSE(profile.SetName(huge.c_str()));
    EXPECT_FALSE(profile.SetPath(nullptr));
    EXPECT_EQ(profile.GetPath(), fits) << "a refused text leaves the old one";
    EXPECT_EQ(profile.GetName(), fits);
}
