// The event log reader on real traces of this process, and on trace text
// shapes that a session produces rarely.
#include <windows.h>
#include <gtest/gtest.h>

#include <stdio.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TerminalTrace.h"

namespace {

void Report(const char* source, WORD type, WORD category, DWORD id, std::vector<const char*> strings)
{
    HANDLE log = RegisterEventSourceA(NULL, source);
    ASSERT_NE(log, (HANDLE)NULL);
    ReportEventA(log, type, category, id, NULL, (WORD)strings.size(), 0, strings.data(), NULL);
    DeregisterEventSource(log);
}

const WORD kTypes[] = { EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_ERROR_TYPE };

} // namespace

TEST(EventLogTrace, EntriesOfSeveralThreadsKeepTheirOrderAndFields)
{
    const int threads = 4, perThread = 25;
    TraceMark mark;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            char source[32], text[64];
            snprintf(source, sizeof source, "Worker%d", t);
            for (int i = 0; i < perThread; ++i) {
                snprintf(text, sizeof text, "entry %d.%d", t, i);
                Report(source, kTypes[i % 3], (WORD)t, (DWORD)i, { text });
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();

    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), (size_t)(threads * perThread));

    std::map<unsigned long, int> next;          // per thread: the next i expected
    std::map<unsigned long, std::string> source; // per thread: its one source
    for (const EventLogEntry& entry : entries) {
        ASSERT_EQ(entry.strings.size(), 1u);
        int t = -1, i = -1;
        ASSERT_EQ(sscanf(entry.strings[0].c_str(), "entry %d.%d", &t, &i), 2) << entry.strings[0];
        if (source.count(entry.thread) == 0)
            source[entry.thread] = entry.source;
        EXPECT_EQ(entry.source, source[entry.thread]);
        EXPECT_EQ(entry.source, "Worker" + std::to_string(t));
        EXPECT_EQ(i, next[entry.thread]++);
        EXPECT_EQ(entry.type, kTypes[i % 3]);
        EXPECT_EQ(entry.category, (unsigned)t);
        EXPECT_EQ(entry.id, (unsigned long)i);
    }
    EXPECT_EQ(source.size(), (size_t)threads);
}

TEST(EventLogTrace, EscapedTextsComeBackAsReported)
{
    const std::string special = "C:\\Temp\\ \"quoted\"\ttab\r\nline \xe9t\xe9 100%";
    const std::string longText(259, 'x');
    TraceMark mark;
    Report("Esc\\aped \"source\"", EVENTLOG_INFORMATION_TYPE, 0, 0, { special.c_str() });
    Report("Long", EVENTLOG_INFORMATION_TYPE, 0, 0, { longText.c_str() });
    Report("Two", EVENTLOG_WARNING_TYPE, 3, 70000, { "first", "second" });
    Report("None", EVENTLOG_INFORMATION_TYPE, 0, 0, {});

    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].source, "Esc\\aped \"source\"");
    ASSERT_EQ(entries[0].strings.size(), 1u);
    EXPECT_EQ(entries[0].strings[0], AnsiToUtf8(special));
    ASSERT_EQ(entries[1].strings.size(), 1u);
    EXPECT_EQ(entries[1].strings[0], longText);
    EXPECT_FALSE(entries[1].truncated);
    EXPECT_EQ(entries[2].strings, (std::vector<std::string>{ "first", "second" }));
    EXPECT_EQ(entries[2].id, 70000ul);
    EXPECT_EQ(entries[2].category, 3u);
    EXPECT_TRUE(entries[3].strings.empty());
}

TEST(EventLogTrace, ReadsWideProcessIdsCutStringsAndSkipsNoise)
{
    const std::string trace =
        "0010c:0020:fixme:advapi:RegisterEventSourceA ((null),\"Src\"): stub\n"
        "0030:0040:err:module:import_dll Library x.dll not found\n"
        "0010c:0020:fixme:advapi:ReportEventA (00000000CAFE4242,0x0004,0x0000,0x00000000,0000000000000000,0x0001,0x00000000,000000000021FD28,0000000000000000): stub\n"
        "0010c:0020:fixme:advapi:ReportEventW (00000000CAFE4242,0x0004,0x0000,0x00000000,0000000000000000,0x0001,0x00000000,0000000000349C40,0000000000000000): stub\n"
        "garbage without a prefix\n"
        "0010c:0020:trace:eventlog:ReportEventW L\"abc\\x\"...\r\n"
        "0010c:0020:fixme:advapi:DeregisterEventSource (00000000CAFE4242) stub\n"
        "0010c:0020:trace:eventlog:ReportEventW L\"stray\"\n";
    std::vector<EventLogEntry> entries = ParseEventLogTrace(trace);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].process, 0x10cul);
    EXPECT_EQ(entries[0].thread, 0x20ul);
    EXPECT_EQ(entries[0].source, "Src");
    EXPECT_EQ(entries[0].type, 4u);
    // A string line after the source was deregistered belongs to no report.
    ASSERT_EQ(entries[0].strings.size(), 1u);
    EXPECT_EQ(entries[0].strings[0], "abcx");
    EXPECT_TRUE(entries[0].truncated);
}
