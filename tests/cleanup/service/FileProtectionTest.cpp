// Who may change what the service runs: Fenwash.exe installed from a folder
// that the host opens to everyone, as Windows NT 4.0 leaves Program Files.
// -RegServer closes the folder, the program and Fenwash.ini to all but
// administrators and SYSTEM, and the service warns when one is opened again.
// The service is the real "Fenwash"; this terminal is used by no other test.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostShell.h"
#include "OtherWriter.h"
#include "ServiceTestSupport.h"

namespace {

const std::string folder = "C:\\Program Files\\Quillmere Protected";
const std::string ini = folder + "\\Fenwash.ini";
const char warning[] = " can be changed by Everyone, and the service runs it as LocalSystem: run Fenwash "
                       "-RegServer again or restrict it.";

// A run's entries, as "SOURCE: TEXT", and the warnings among them.
struct LoggedRun
{
    DWORD exitCode = (DWORD)-1;
    std::vector<std::string> texts;
    std::vector<std::string> warnings;
};

void Collect(const std::vector<EventLogEntry>& entries, LoggedRun* run)
{
    run->texts = EntryTexts(entries);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].type == EVENTLOG_WARNING_TYPE)
            run->warnings.push_back(run->texts[i]);
}

LoggedRun RunLogged(const std::string& program, const std::string& arguments)
{
    TraceMark mark;
    LoggedRun run;
    FenwashRun fenwash = RunFenwash(program, arguments);
    run.exitCode = fenwash.exitCode;
    Collect(mark.NewEntriesOf(fenwash.processId), &run);
    return run;
}

// Starts the installed service and stops it again. The stop waits for the
// start-up cleanup, which comes after the check, so every warning of the
// start is in by then.
LoggedRun StartAndStop()
{
    TraceMark mark;
    LoggedRun run;
    EXPECT_TRUE(StartTestService("Fenwash")) << GetLastError();
    EXPECT_TRUE(WaitForState("Fenwash", SERVICE_RUNNING));
    DWORD processId = QueryStatus("Fenwash").dwProcessId;
    DWORD error;
    Control("Fenwash", SERVICE_CONTROL_STOP, &error);
    EXPECT_TRUE(WaitForState("Fenwash", SERVICE_STOPPED));
    run.exitCode = QueryStatus("Fenwash").dwWin32ExitCode;
    Collect(mark.NewEntriesOf(processId), &run);
    return run;
}

} // namespace

TEST(FileProtection, RegServerClosesTheFilesAndEachStartWarnsOfOneOpenedAgain)
{
    FenwashRemovedAfterwards removed;
    const std::string program = CopyFenwashTo(folder);
    ASSERT_FALSE(program.empty());
    ASSERT_TRUE(WriteTextFile(ini, "[Parameters]\r\nCleanProfiles=0\r\n"));
    const std::string files[] = { folder, program, ini };
    for (const std::string& file : files)
        ASSERT_TRUE(ChangeUnixMode(file, "o+w")) << file;

    // The preview names each of the three, and Everyone.
    const std::string report = "C:\\protection-preview.txt";
    ASSERT_EQ(RunAndWait("cmd /c \"\"" + program + "\" -Preview > \"" + report + "\"\""), 0u);
    std::string text = ReadTextFile(report);
    for (const std::string& file : files)
        EXPECT_NE(text.find(file + warning + "\r\n"), std::string::npos) << file << "\n" << text;

    // -RegServer: others may read and run, not write; the install as before.
    LoggedRun install = RunLogged(program, "-Debug -RegServer");
    EXPECT_EQ(install.exitCode, 0u);
    std::vector<std::string> expected;
    for (const std::string& file : files)
        expected.push_back("Fenwash: Permissions set on " + file +
                           ": only administrators and SYSTEM may change it.");
    expected.push_back("Fenwash: Quillmere Cleanup service created.");
    EXPECT_EQ(install.texts, expected);
    COtherWriterCheck check;
    for (const std::string& file : files) {
        EXPECT_EQ(UnixMode(file) & 07, 05) << file;
        EXPECT_EQ(check.Check(file.c_str()), WRITERS_TRUSTED) << file;
    }

    // The installed service runs without -Debug: closed files, nothing logged.
    LoggedRun closed = StartAndStop();
    EXPECT_EQ(closed.exitCode, 0u);
    EXPECT_TRUE(closed.texts.empty()) << ::testing::PrintToString(closed.texts);

    // Fenwash.ini opened to everyone: one warning at the next start, naming
    // it and Everyone, and the service still runs and stops as ever.
    ASSERT_TRUE(ChangeUnixMode(ini, "o+w"));
    LoggedRun opened = StartAndStop();
    EXPECT_EQ(opened.exitCode, 0u);
    EXPECT_EQ(opened.texts, std::vector<std::string>{ "Fenwash: " + ini + warning });
    EXPECT_EQ(opened.warnings, opened.texts);

    // Installed again without a Fenwash.ini: what can be set is set, the
    // missing file is named, and the service is installed as ever.
    ASSERT_TRUE(DeleteFileA(ini.c_str()));
    LoggedRun again = RunLogged(program, "-Debug -RegServer");
    EXPECT_EQ(again.exitCode, 0u);
    expected = { "Fenwash: Permissions set on " + folder + ": only administrators and SYSTEM may change it.",
                 "Fenwash: Permissions set on " + program + ": only administrators and SYSTEM may change it.",
                 "Fenwash: Permissions not set on " + ini + ": error 2.",
                 "Fenwash: Quillmere Cleanup service updated." };
    EXPECT_EQ(again.texts, expected);

    // Without -Debug the install says nothing, and its exit code is as ever.
    EXPECT_EQ(RunLogged(program, "-RegServer").texts, std::vector<std::string>{});
    EXPECT_EQ(RunFenwash(program, "-UnregServer").exitCode, 1u);
}

// Installed from a folder that every program shares, the program and its
// configuration are closed, the folder is left as it was: users may rightly
// be writing there.
TEST(FileProtection, TheSystemsFoldersAndADrivesRootAreLeftAsTheyWere)
{
    FenwashRemovedAfterwards removed;
    char windows[MAX_PATH], system[MAX_PATH];
    ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const char* lastOutcome = "created";
    for (const std::string& shared : { std::string(system), std::string(windows), std::string("C:\\") }) {
        const std::string sep = shared.back() == '\\' ? "" : "\\";
        const std::string program = shared + sep + "Fenwash.exe";
        ASSERT_TRUE(CopyFileA((TestProgramFolder() + "Fenwash.exe").c_str(), program.c_str(), FALSE)) << program;
        ASSERT_TRUE(ChangeUnixMode(shared, "o+w"));
        int mode = UnixMode(shared);

        LoggedRun install = RunLogged(program, "-Debug -RegServer");
        EXPECT_EQ(install.exitCode, 0u) << shared;
        EXPECT_EQ(install.texts, (std::vector<std::string>{
                                     "Fenwash: Permissions not set on " + shared + ": the system's folder.",
                                     "Fenwash: Permissions set on " + program +
                                         ": only administrators and SYSTEM may change it.",
                                     "Fenwash: Permissions not set on " + shared + sep + "Fenwash.ini: error 2.",
                                     std::string("Fenwash: Quillmere Cleanup service ") + lastOutcome + "." }));
        EXPECT_EQ(UnixMode(shared), mode) << shared;
        EXPECT_EQ(UnixMode(program) & 07, 05) << program;
        lastOutcome = "updated";
        ASSERT_TRUE(ChangeUnixMode(shared, "o-w"));
        DeleteFileA(program.c_str());
    }
}
