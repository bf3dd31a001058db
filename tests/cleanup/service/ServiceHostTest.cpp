// The host's routines inside this test process, against the real calls: the
// switch scanner and the events' end of life.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/CommandLine.h"
#include "service/ServiceRuntime.h"

namespace {

// The switch texts that RunCommandLine would see, separated by "|".
std::string SwitchTexts(const char* commandLine)
{
    std::string copy = commandLine;
    std::string texts;
    for (LPSTR text = NextSwitch(&copy[0], "-/"); text != NULL; text = NextSwitch(text, "-/"))
        texts += std::string(texts.empty() ? "" : "|") + text;
    return texts;
}

bool Signalled(HANDLE event)
{
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// A real handle of the service control manager that is not a service status
// handle: SetServiceStatus refuses it, as it would a handle gone stale.
class CWrongStatusHandle
{
public:
    CWrongStatusHandle() : m_manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT))
    {
        serviceStatusHandle = reinterpret_cast<SERVICE_STATUS_HANDLE>(m_manager);
    }
    ~CWrongStatusHandle()
    {
        serviceStatusHandle = NULL;
        if (m_manager != NULL)
            CloseServiceHandle(m_manager);
    }
    bool IsOpen() const { return m_manager != NULL; }

private:
    SC_HANDLE m_manager;
};

} // namespace

TEST(NextSwitch, FindsEachSwitchAfterEitherCharacter)
{
    EXPECT_EQ(SwitchTexts("-Debug /RegServer"), "Debug /RegServer|RegServer");
    EXPECT_EQ(SwitchTexts("-Debug/x"), "Debug/x|x");
    EXPECT_EQ(SwitchTexts("no switch at all"), "");
    EXPECT_EQ(SwitchTexts(""), "");
    EXPECT_EQ(SwitchTexts("trailing -"), "");
    EXPECT_EQ(SwitchTexts("--"), "-|");
}

TEST(NextSwitch, NoTextIsNoSwitch)
{
    EXPECT_EQ(NextSwitch(NULL, "-/"), (LPSTR)NULL);
}

TEST(SwitchIs, WordIsACaseBlindPrefixOfTheText)
{
    EXPECT_TRUE(SwitchIs("Debug", "Debug"));
    EXPECT_TRUE(SwitchIs("DEBUGGING", "Debug"));
    EXPECT_TRUE(SwitchIs("helpme", "help"));
    EXPECT_TRUE(SwitchIs("unregserver", "UnregServer"));
    EXPECT_TRUE(SwitchIs("?x", "?"));
    EXPECT_FALSE(SwitchIs("Deb", "Debug"));
    EXPECT_FALSE(SwitchIs("", "Debug"));
    EXPECT_FALSE(SwitchIs("RegServer", "UnregServer"));
    EXPECT_FALSE(SwitchIs(" Debug", "Debug"));
}

// A final status report that fails signals the events once more; by then the
// terminate event is closed and its handle value may belong to a new object.
TEST(ServiceCleanup, AFailingFinalReportSignalsNoClosedEvent)
{
    terminateEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    exitEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_NE(terminateEvent, (HANDLE)NULL);
    ASSERT_NE(exitEvent, (HANDLE)NULL);
    HANDLE oldTerminate = terminateEvent;
    HANDLE exitObject;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), exitEvent, GetCurrentProcess(), &exitObject,
                                0, FALSE, DUPLICATE_SAME_ACCESS));
    CWrongStatusHandle wrong;
    ASSERT_TRUE(wrong.IsOpen());
    InterlockedExchange(&threadRunning, 1);

    ServiceCleanup(NO_ERROR);

    EXPECT_EQ(terminateEvent, (HANDLE)NULL);
    EXPECT_EQ(exitEvent, (HANDLE)NULL);
    EXPECT_EQ(threadRunning, 0) << "the failed report wound the service down";
    EXPECT_TRUE(Signalled(exitObject)) << "the failed report signalled exitEvent while it was open";

    // New events until one gets the closed event's handle value: a late signal
    // of the service (a failing report on another thread) must not reach it.
    std::vector<HANDLE> created;
    HANDLE reused = NULL;
    while (reused == NULL && created.size() < 1024) {
        HANDLE event = CreateEventA(NULL, TRUE, FALSE, NULL);
        ASSERT_NE(event, (HANDLE)NULL);
        created.push_back(event);
        if (event == oldTerminate)
            reused = event;
    }
    ASSERT_NE(reused, (HANDLE)NULL) << "the closed handle value was never given again";
    SignalServiceExit();
    SignalExitEvent();
    EXPECT_FALSE(Signalled(reused));
    for (HANDLE event : created)
        CloseHandle(event);
    CloseHandle(exitObject);
}

TEST(ReportServiceStatus, AFailedReportReleasesServiceMainFromBothWaits)
{
    terminateEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    exitEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    CWrongStatusHandle wrong;
    ASSERT_TRUE(wrong.IsOpen());
    InterlockedExchange(&threadRunning, 1);

    SetLastError(0);
    EXPECT_FALSE(ReportServiceStatus(SERVICE_RUNNING, NO_ERROR, 0, 0));
    EXPECT_NE(GetLastError(), 0u) << "the caller still sees why the report failed";
    EXPECT_TRUE(Signalled(terminateEvent));
    EXPECT_TRUE(Signalled(exitEvent));
    EXPECT_EQ(threadRunning, 0);

    CloseServiceEvent(&terminateEvent);
    CloseServiceEvent(&exitEvent);
    EXPECT_EQ(terminateEvent, (HANDLE)NULL);
}
