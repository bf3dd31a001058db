// In this test process: the stop's wait for the cleanups at work ends at its
// limit, and from the stop on a logoff is answered without a cleanup. (A stop
// lasts for the process, so the cases run in order in one test; the wait for
// cleanups that end is tested on the terminal.)
#include <windows.h>
#include <gtest/gtest.h>

#include "ServiceTestSupport.h"
#include "config/Configuration.h"
#include "service/RunningEvents.h"
#include "service/ServiceRuntime.h"

TEST(RunningEvents, AStopWaitsNoLongerThanItsLimitAndTurnsLogoffsAway)
{
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder = std::string(temp) + "fenwash-running-events";
    const std::string junk = folder + "\\junk.tmp";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(WriteTextFile(folder + "\\Fenwash.ini", "[Files]\n1=Junk\n[Junk]\nPath=" + folder +
                              "\\*.tmp\nAction=FILE_DELETE\nActionTrigger=USER_LOGOFF\n"));
    LoadConfigurationFrom((folder + "\\Fenwash.ini").c_str());
    serviceStatusHandle = NULL; // nothing to report to
    ASSERT_TRUE(WriteTextFile(junk, "x"));
    EXPECT_TRUE(ConsoleHandlerRoutine(CTRL_LOGOFF_EVENT));
    EXPECT_FALSE(FileExists(junk)) << "before a stop a logoff cleans up";

    ASSERT_TRUE(BeginRunningEvent());
    DWORD start = GetTickCount();
    EXPECT_FALSE(WaitForRunningEvents(300));
    EXPECT_GE(GetTickCount() - start, 300u);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(BeginRunningEvent()) << "an event that comes once the stop has begun is refused";
    EXPECT_EQ(RunningEventCount(), 1) << "and not counted";
    ASSERT_TRUE(WriteTextFile(junk, "x"));
    EXPECT_TRUE(ConsoleHandlerRoutine(CTRL_LOGOFF_EVENT)) << "handled, so no default handler ends the process";
    EXPECT_TRUE(FileExists(junk)) << "no cleanup once the stop has begun";
    EndRunningEvent();
    EXPECT_TRUE(WaitForRunningEvents(300));
}
