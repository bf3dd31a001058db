// LogMessage through the terminal's real event log calls, read back from the
// session trace.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "TerminalTrace.h"
#include "service/LogMessage.h"

namespace {

struct LoggingOn
{
    LoggingOn() { logDisabled = 0; }
    ~LoggingOn() { logDisabled = 1; }
};

} // namespace

TEST(LogMessage, SilentWhileDisabledEvenForErrorTexts)
{
    ASSERT_EQ(logDisabled, 1) << "logging starts switched off";
    TraceMark mark;
    LogMessage("Fenwash", "CreateService failed, error %d", 1073);
    LogMessage("ServiceThread", "plain text");
    EXPECT_TRUE(mark.NewEntries().empty());
}

TEST(LogMessage, EachCallIsOneInformationEntryWithItsSourceAndText)
{
    LoggingOn on;
    TraceMark mark;
    LogMessage("CIniSection::Open", "Section %s of %s: %d entries", "Files", "C:\\Fenwash.ini", 3);
    LogMessage("ProcessEvents", "exitEvent received");
    LogMessage("CanCleanDir", "100%% sure: %c%u", 'x', 7u);

    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), 3u);
    const char* sources[] = { "CIniSection::Open", "ProcessEvents", "CanCleanDir" };
    const char* texts[] = { "Section Files of C:\\Fenwash.ini: 3 entries", "exitEvent received", "100% sure: x7" };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].source, sources[i]);
        EXPECT_EQ(entries[i].type, (unsigned)EVENTLOG_INFORMATION_TYPE);
        EXPECT_EQ(entries[i].category, 0u);
        EXPECT_EQ(entries[i].id, 0ul);
        ASSERT_EQ(entries[i].strings.size(), 1u);
        EXPECT_EQ(entries[i].strings[0], texts[i]);
        EXPECT_EQ(entries[i].thread, GetCurrentThreadId());
    }
}

TEST(LogMessage, LongTextsAreCutAt259Characters)
{
    LoggingOn on;
    const std::string fits(259, 'a');
    const std::string tooLong(2000, 'b');
    TraceMark mark;
    LogMessage("Fenwash", "%s", fits.c_str());
    LogMessage("Fenwash", "%s", tooLong.c_str());
    LogMessage("Fenwash", "%s!", fits.c_str());

    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].strings.at(0), fits);
    EXPECT_EQ(entries[1].strings.at(0), std::string(259, 'b'));
    EXPECT_EQ(entries[2].strings.at(0), fits);   // the "!" is the 260th character
}

TEST(LogMessage, AnsiTextsOfTheCodePage)
{
    LoggingOn on;
    TraceMark mark;
    LogMessage("Fenwash", "Profil \xe9t\xe9 %s", "Andr\xe9");
    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].strings.at(0), AnsiToUtf8("Profil \xe9t\xe9 Andr\xe9"));
}
