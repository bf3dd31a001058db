// The file-system and program actions on the terminal's own file system.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineFiles.h"
#include "HostShell.h"
#include "TerminalTrace.h"
#include "TestProgram.h"
#include "config/Configuration.h"
#include "engine/FileActions.h"
#include "engine/EventTally.h"
#include "engine/Preview.h"
#include "service/LogMessage.h"

namespace {

std::string WindowsDirectory()
{
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string SystemDirectory()
{
    char buffer[MAX_PATH];
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string ProgramDirectory()
{
    std::string folder = TestProgramFolder();
    return folder.substr(0, folder.size() - 1);
}

std::string Lower(std::string text)
{
    CharLowerA(&text[0]);
    return text;
}

// Protected directories for one test only.
struct Protect
{
    explicit Protect(const std::string& folder) { dontDeleteDirs.Add((folder + "\\").c_str()); }
    ~Protect() { dontDeleteDirs.RemoveAll(); }
};

} // namespace

// Runs first: the message belongs to the first call of the process.
TEST(CanCleanDir, FirstCallLogsTheProgramDirectoryOnce)
{
    logDisabled = 0;
    TraceMark mark;
    CanCleanDir("C:\\Temp");
    CanCleanDir("C:\\Other");
    logDisabled = 1;
    std::vector<EventLogEntry> entries = mark.NewEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].source, "CanCleanDir");
    EXPECT_EQ(entries[0].strings.at(0), "CurrentDirectory: " + ProgramDirectory());
}

TEST(CanCleanDir, RefusesTheProtectedDirectoriesTheirLeadingPartsAndCaseVariants)
{
    const std::string windows = WindowsDirectory(), system = SystemDirectory(), program = ProgramDirectory();
    for (const std::string& dir : { windows, system, program }) {
        EXPECT_FALSE(CanCleanDir(dir.c_str())) << dir;
        EXPECT_FALSE(CanCleanDir(Lower(dir).c_str())) << dir;
        EXPECT_FALSE(CanCleanDir(dir.substr(0, dir.size() - 1).c_str())) << dir;
    }
    EXPECT_FALSE(CanCleanDir(windows.substr(0, 3).c_str()));    // C:\ //
    EXPECT_FALSE(CanCleanDir("c"));
    EXPECT_FALSE(CanCleanDir(""));
    EXPECT_FALSE(CanCleanDir(NULL));
}

TEST(CanCleanDir, AcceptsOtherDirectoriesAndOnesBelowTheWindowsDirectory)
{
    EXPECT_TRUE(CanCleanDir("C:\\Temp"));
    EXPECT_TRUE(CanCleanDir((WindowsDirectory() + "\\Temp").c_str()));
    EXPECT_FALSE(CanCleanDir((WindowsDirectory() + "\\").c_str()));
}

// Spellings that got through when paths were compared as text; each is
// judged in its full, canonical form now.
TEST(CanCleanDir, RefusesEverySpellingOfTheWindowsAndSystemDirectoriesAndOfDriveRoots)
{
    ASSERT_EQ(Lower(SystemDirectory()), "c:\\windows\\system32");
    for (const char* path : {
             "C:\\windows\\.", "C:\\windows\\\\", "C:/windows/", "\\\\?\\C:\\windows", "\\\\.\\C:\\windows", "//?/C:/windows",
             "\\windows", "C:\\windows\\system32\\..", "C:\\fz\\..\\windows", "..", "C:\\windows\\system32\\",
             "C:\\windows\\SYSTEM32\\", "C:\\windows\\system32\\drivers\\..", "C:\\windows\\system32. . ", ".\\",
             "C:.", "C:\\.", "C:\\...", "\\.", "..\\..\\..", "D:\\", "d:/", "\\\\?\\D:\\", "\\\\server\\share\\dir", "temp" })
        EXPECT_FALSE(CanCleanDir(path)) << path;
    for (const char* path : { "C:/Temp/", "\\\\?\\C:\\Temp", "C:\\windows\\system32\\drivers", "C:\\windows\\Temp\\." })
        EXPECT_TRUE(CanCleanDir(path)) << path;
}

// A copy of a program in C:\engine\fenwash-program asks about its own
// folder; the exit status has a bit for each path it accepted.
TEST(CanCleanDir, RefusesEverySpellingOfTheProgramsOwnFolderAndTheFoldersAboveIt)
{
    const std::string dir = FreshFolder("fenwash-program");
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "canclean_probe.exe").c_str(), (dir + "\\p.exe").c_str(), FALSE));
    char shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(dir.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(Lower(shortName), Lower(dir)) << "the terminal gives a long name a short one";
    const std::vector<std::string> paths = {
        dir + "\\sub", "C:\\engine\\other",   // accepted, the others refused
        dir, "C:\\ENGINE\\FENWASH-PROGRAM\\", "C:/engine/fenwash-program", dir + ".", dir + "\\.", dir + "\\..\\fenwash-program",
        "\\\\?\\" + dir, shortName, "C:\\engine", "\\engine\\fenwash-program", "/engine/fenwash-program" };
    std::string commandLine = dir + "\\p.exe";
    for (const std::string& path : paths)
        commandLine += " " + path;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ASSERT_TRUE(CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process));
    DWORD accepted = 0;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &accepted);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ((accepted >> i) & 1, i < 2 ? 1u : 0u) << paths[i];
}

TEST(DeleteDirectoryContents, EmptiesReadOnlyHiddenAndNestedEntriesButKeepsDotNames)
{
    std::string dir = FreshFolder("tree");
    MakeFile(dir + "\\plain.txt");
    MakeFile(dir + "\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(dir + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(dir + "\\a");
    MakeFolder(dir + "\\a\\b");
    MakeFile(dir + "\\a\\b\\deep.txt", FILE_ATTRIBUTE_READONLY);
    MakeFolder(dir + "\\ro");
    SetFileAttributesA((dir + "\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFile(dir + "\\.settings");
    MakeFolder(dir + "\\.cache");
    MakeFile(dir + "\\.cache\\kept.txt");

    EXPECT_TRUE(DeleteDirectoryContents(dir.c_str()));
    EXPECT_TRUE(Exists(dir));
    EXPECT_EQ(CountEntries(dir), 2);
    EXPECT_TRUE(Exists(dir + "\\.settings"));
    EXPECT_TRUE(Exists(dir + "\\.cache\\kept.txt"));
}

TEST(DeleteDirectoryContents, AMissingDirectoryHasNothingToDelete)
{
    EXPECT_TRUE(DeleteDirectoryContents("C:\\engine\\never-made"));
}

TEST(DeleteDirectoryContents, AProtectedSubdirectorySurvivesAndDirDeleteOfItsParentFails)
{
    std::string dir = FreshFolder("protected");
    MakeFile(dir + "\\gone.txt");
    MakeFolder(dir + "\\Install");
    MakeFile(dir + "\\Install\\setup.ini");
    Protect protect(Lower(dir) + "\\install");

    EXPECT_TRUE(DeleteDirectoryContents(dir.c_str()));
    EXPECT_FALSE(Exists(dir + "\\gone.txt"));
    EXPECT_TRUE(Exists(dir + "\\Install\\setup.ini"));

    EXPECT_FALSE(DeleteDirectory(dir.c_str(), true));
    EXPECT_TRUE(Exists(dir + "\\Install\\setup.ini"));
}

// Every folder left because something below it stayed is counted, at any
// depth, in the service as in the preview.
TEST(DeleteDirectory, EveryFolderLeftAroundAProtectedOneIsCounted)
{
    for (bool preview : { true, false }) {
        std::string dir = FreshFolder(preview ? "nested-preview" : "nested");
        MakeFolder(dir + "\\a");
        MakeFolder(dir + "\\a\\b");
        MakeFolder(dir + "\\a\\b\\Keep");
        MakeFile(dir + "\\a\\b\\Keep\\k.txt");
        MakeFile(dir + "\\a\\b\\f.txt");
        MakeFile(dir + "\\a\\g.txt");
        Protect protect(Lower(dir) + "\\a\\b\\keep");
        previewOnly = preview;
        StartEventTally();
        EXPECT_FALSE(DeleteDirectory(dir.c_str(), true));
        previewOnly = false;
        const EventTally& tally = CurrentEventTally();
        EXPECT_EQ(tally.nCounts[LEFT_NOT_EMPTY], 3u) << "preview " << preview;   // dir, a and b
        EXPECT_EQ(tally.nCounts[LEFT_PROTECTED], 1u) << "preview " << preview;
        EXPECT_EQ(tally.nCounts[REMOVED_FILE], 2u) << "preview " << preview;
        EXPECT_EQ(tally.nCounts[FAILED_REMOVAL], 0u) << "preview " << preview;
        EXPECT_TRUE(Exists(dir + "\\a\\b\\Keep\\k.txt"));
        EXPECT_EQ(Exists(dir + "\\a\\g.txt"), preview);
    }
}

TEST(DeleteDirectoryContents, AProtectedItemDirectoryIsNotTouched)
{
    std::string dir = FreshFolder("itself");
    MakeFile(dir + "\\stays.txt");
    Protect protect(dir);
    EXPECT_FALSE(DeleteDirectoryContents(dir.c_str()));
    EXPECT_FALSE(DeleteDirectory(dir.c_str(), true));
    EXPECT_TRUE(Exists(dir + "\\stays.txt"));
}

// The action works on the canonical path that was checked, and
// [DontDeleteDirs] is matched against that path.
TEST(DeleteDirectoryContents, WorksOnTheCanonicalPathThatWasChecked)
{
    const std::string dir = FreshFolder("spelling");
    MakeFile(dir + "\\gone.txt");
    MakeFolder(dir + "\\Install");
    MakeFile(dir + "\\Install\\setup.ini");
    MakeFolder(dir + "\\old");
    Protect protect(dir + "\\Install");
    EXPECT_TRUE(DeleteDirectoryContents("C:/engine/spelling/"));
    EXPECT_TRUE(DeleteDirectory("\\\\?\\C:\\engine\\spelling\\Install\\..\\old", true));
    EXPECT_FALSE(DeleteDirectoryContents("engine\\spelling")) << "relative to wherever the service stands";
    EXPECT_EQ(CountEntries(dir), 1);
    EXPECT_TRUE(Exists(dir + "\\Install\\setup.ini"));
}

TEST(DeleteDirectory, RemovesAHiddenReadOnlyDirectoryWithItsContents)
{
    std::string dir = FreshFolder("old");
    MakeFolder(dir + "\\sub");
    MakeFile(dir + "\\sub\\f.txt", FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(DeleteDirectory(dir.c_str(), true));
    EXPECT_FALSE(Exists(dir));
}

TEST(DeleteDirectory, ATrailingBackslashEmptiesButKeepsTheDirectory)
{
    std::string dir = FreshFolder("trailing");
    MakeFile(dir + "\\f.txt");
    EXPECT_TRUE(DeleteDirectory((dir + "\\").c_str(), true));
    EXPECT_TRUE(Exists(dir));
    EXPECT_EQ(CountEntries(dir), 0);
}

TEST(DeleteDirectory, TheCheckRefusesTheWindowsDirectoryAndTouchesNothing)
{
    const std::string system = SystemDirectory();
    int before = CountEntries(system);
    EXPECT_FALSE(DeleteDirectory(WindowsDirectory().c_str(), true));
    EXPECT_FALSE(DeleteDirectory(system.c_str(), true));
    EXPECT_EQ(CountEntries(system), before);
}

// A folder that users can write to holds links to the Windows folder and to a
// protected folder: the cleanup must not reach either. (The terminal shows a
// link to a file as a plain file, so only folder links can be made here.)
TEST(DeleteDirectoryContents, LinksAreNeverFollowed)
{
    std::string dir = FreshFolder("links");
    std::string guarded = FreshFolder("guarded");
    MakeFile(guarded + "\\precious.txt", FILE_ATTRIBUTE_READONLY);
    MakeFolder(guarded + "\\inner");
    MakeFile(guarded + "\\inner\\precious2.txt");
    Protect protect(guarded);
    ASSERT_TRUE(MakeUnixLink(dir + "\\to-windows", WindowsDirectory()));
    ASSERT_TRUE(MakeUnixLink(dir + "\\to-guarded", guarded));
    ASSERT_TRUE(GetFileAttributesA((dir + "\\to-guarded").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    MakeFile(dir + "\\junk.txt");
    const int windowsEntries = CountEntries(WindowsDirectory());
    const DWORD preciousAttributes = GetFileAttributesA((guarded + "\\precious.txt").c_str());

    bool result = DeleteDirectoryContents(dir.c_str());

    EXPECT_FALSE(Exists(dir + "\\junk.txt"));
    EXPECT_EQ(CountEntries(WindowsDirectory()), windowsEntries);
    EXPECT_TRUE(Exists(guarded + "\\precious.txt"));
    EXPECT_EQ(GetFileAttributesA((guarded + "\\precious.txt").c_str()), preciousAttributes);
    EXPECT_TRUE(Exists(guarded + "\\inner\\precious2.txt"));
    // The terminal cannot remove a link to a folder that holds something
    // (Wine looks through it); a link that stays must show in the result.
    bool linksStayed = Exists(dir + "\\to-windows") || Exists(dir + "\\to-guarded");
    EXPECT_EQ(result, !linksStayed);

    // Deleting the folder of the links follows them no more than emptying it.
    EXPECT_EQ(DeleteDirectory(dir.c_str(), true), !linksStayed);
    EXPECT_TRUE(Exists(guarded + "\\inner\\precious2.txt"));
    EXPECT_EQ(CountEntries(WindowsDirectory()), windowsEntries);
    RemoveTree(dir);
}

TEST(DeleteMatchingFiles, DeletesMatchesReadOnlyOnesToo)
{
    std::string dir = FreshFolder("logs");
    MakeFile(dir + "\\a.log", FILE_ATTRIBUTE_READONLY);
    MakeFile(dir + "\\b.log", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(dir + "\\keep.txt");
    EXPECT_TRUE(DeleteMatchingFiles((dir + "\\*.log").c_str()));
    EXPECT_FALSE(Exists(dir + "\\a.log"));
    EXPECT_FALSE(Exists(dir + "\\b.log"));
    EXPECT_TRUE(Exists(dir + "\\keep.txt"));
    EXPECT_TRUE(DeleteMatchingFiles((dir + "\\*.none").c_str()));
}

TEST(DeleteMatchingFiles, StarDotStarDeletesEveryFileButReportsTheDotEntries)
{
    std::string dir = FreshFolder("all");
    MakeFile(dir + "\\a.log");
    MakeFile(dir + "\\b");
    MakeFolder(dir + "\\sub");
    MakeFile(dir + "\\sub\\inner.txt");
    EXPECT_FALSE(DeleteMatchingFiles((dir + "\\*.*").c_str()));
    EXPECT_EQ(CountEntries(dir), 1);
    EXPECT_TRUE(Exists(dir + "\\sub\\inner.txt"));
}

// The platform's search matches short names too (keep.logbook is
// KEEP~Q10.LOG on the terminal), and takes "/" for a separator.
TEST(DeleteMatchingFiles, OnlyLongNamesMatchAndEitherSeparatorEndsTheFolder)
{
    const std::string dir = FreshFolder("names");
    for (const char* name : { "\\a.log", "\\keep.logbook", "\\slash.log" })
        MakeFile(dir + name);
    MakeFolder(dir + "\\sub");
    MakeFile(dir + "\\sub\\slash.log");
    char shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((dir + "\\keep.logbook").c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(Lower(shortName).find(".log"), std::string::npos) << "the short name ends in .LOG";
    EXPECT_TRUE(DeleteMatchingFiles((dir + "/sub/*.log").c_str()));
    EXPECT_TRUE(Exists(dir + "\\slash.log")) << "the folder above is not where the matches lie";
    EXPECT_TRUE(DeleteMatchingFiles((dir + "\\*.log").c_str()));
    EXPECT_TRUE(Exists(dir + "\\keep.logbook"));
    EXPECT_EQ(CountEntries(dir), 2);
    EXPECT_EQ(CountEntries(dir + "\\sub"), 0);
}

TEST(DeleteMatchingFiles, APatternWithoutADirectoryPartIsRefused)
{
    std::string dir = FreshFolder("current");
    MakeFile(dir + "\\x.log");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    EXPECT_FALSE(DeleteMatchingFiles("*.log"));
    EXPECT_FALSE(DeleteMatchingFiles(""));
    // A folder relative to the current directory or drive is refused too.
    MakeFolder(dir + "\\sub");
    MakeFile(dir + "\\sub\\y.log");
    ASSERT_TRUE(SetCurrentDirectoryA((dir + "\\sub").c_str()));
    const std::string rootRelative = dir.substr(2) + "\\sub\\*.log";
    for (const std::string& relative : { std::string("..\\sub\\*.log"), std::string(".\\*.log"),
                                         std::string("C:*.log").replace(0, 1, dir.substr(0, 1)), rootRelative })
        EXPECT_FALSE(DeleteMatchingFiles(relative.c_str())) << relative;
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(Exists(dir + "\\x.log"));
    EXPECT_TRUE(Exists(dir + "\\sub\\y.log"));
    // The full forms still delete.
    EXPECT_TRUE(DeleteMatchingFiles((dir + "/sub/*.log").c_str()));
    EXPECT_FALSE(Exists(dir + "\\sub\\y.log"));
}

TEST(LongPaths, PathsOf260CharactersOrMoreAreRefusedAndNothingIsDeleted)
{
    std::string dir = FreshFolder("long");
    MakeFile(dir + "\\victim.log");
    std::string tooLong = dir + "\\" + std::string(300 - dir.size(), 'x');
    std::string exactly260 = dir + "\\" + std::string(259 - dir.size(), 'y');
    ASSERT_EQ(exactly260.size(), 260u);
    EXPECT_FALSE(DeleteDirectoryContents(tooLong.c_str()));
    EXPECT_FALSE(DeleteDirectoryContents(exactly260.c_str()));
    EXPECT_FALSE(DeleteDirectory(tooLong.c_str(), true));
    EXPECT_FALSE(DeleteMatchingFiles((tooLong + "\\..\\..\\*.log").c_str()));
    EXPECT_FALSE(RunApplication(("cmd.exe /c del " + dir + "\\victim.log " + std::string(260, ' ')).c_str()));
    Sleep(300);
    EXPECT_TRUE(Exists(dir + "\\victim.log"));
}

// A directory that fits, holding names that do not fit beside it.
TEST(LongPaths, EntriesWhoseFullNameWouldNotFitAreLeftAndReported)
{
    std::string dir = FreshFolder("deep");
    std::string deep = dir + "\\" + std::string(250 - dir.size(), 'd');   // 250 characters
    std::wstring wideDeep = L"\\\\?\\" + std::wstring(deep.begin(), deep.end());
    ASSERT_TRUE(CreateDirectoryW(wideDeep.c_str(), NULL));
    HANDLE file = CreateFileW((wideDeep + L"\\a-rather-long-name.txt").c_str(), GENERIC_WRITE, 0, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    file = CreateFileW((wideDeep + L"\\s").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    EXPECT_FALSE(DeleteDirectoryContents(deep.c_str()));
    EXPECT_NE(GetFileAttributesW((wideDeep + L"\\a-rather-long-name.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((wideDeep + L"\\s").c_str()), INVALID_FILE_ATTRIBUTES);   // the fitting one went
    EXPECT_FALSE(DeleteMatchingFiles((deep + "\\*.txt").c_str()));
    EXPECT_NE(GetFileAttributesW((wideDeep + L"\\a-rather-long-name.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(RunApplication, ReturnsAtOnceWhileTheProgramRuns)
{
    std::string dir = FreshFolder("run");
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, "engine-run-release");
    ASSERT_NE(release, (HANDLE)NULL);
    std::string marker = dir + "\\child";
    EXPECT_TRUE(RunApplication(("B:\\wait_child.exe " + marker + " engine-run-release").c_str()));
    for (int i = 0; i < 500 && !Exists(marker + ".started"); ++i)
        Sleep(20);
    EXPECT_TRUE(Exists(marker + ".started"));
    EXPECT_FALSE(Exists(marker + ".done"));     // still waiting for us
    SetEvent(release);
    for (int i = 0; i < 500 && !Exists(marker + ".done"); ++i)
        Sleep(20);
    EXPECT_TRUE(Exists(marker + ".done"));
    CloseHandle(release);
}

// C:\engine\blank\Program.exe stands where any user of an old system may
// put one; the item names C:\engine\blank\Program Files\tool.exe unquoted.
// Each copy of wait_child writes its own path into its marker.
TEST(RunApplication, StartsOnlyTheProgramNamedAndHandsDownNoHandles)
{
    const std::string dir = FreshFolder("blank");
    const std::string tool = dir + "\\Program Files\\tool.exe";
    MakeFolder(dir + "\\Program Files");
    for (const std::string& copy : { dir + "\\Program.exe", tool })
        ASSERT_TRUE(CopyFileA((TestProgramFolder() + "wait_child.exe").c_str(), copy.c_str(), FALSE));
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, "engine-blank-release");
    SECURITY_ATTRIBUTES inheritable = { sizeof inheritable, NULL, TRUE };
    HANDLE held = CreateFileA((dir + "\\held").c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, 0, NULL);

    EXPECT_TRUE(RunApplication((tool + " " + dir + "\\one engine-blank-release").c_str()));
    EXPECT_FALSE(RunApplication((dir + "\\Program Files\\none.exe " + dir + "\\two x").c_str()));
    EXPECT_FALSE(RunApplication((dir + "\\Program Files\\tool " + dir + "\\two x").c_str())) << "no extension";
    char started[MAX_PATH] = {};
    for (int i = 0; i < 500 && started[0] == '\0'; ++i) {   // until the program has written its path
        Sleep(20);
        HANDLE marker = CreateFileA((dir + "\\one.started").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        DWORD read = 0;
        ReadFile(marker, started, MAX_PATH - 1, &read, NULL);
        CloseHandle(marker);
    }
    EXPECT_EQ(Lower(started), Lower(tool));
    // Only an inherited copy in the running program could keep the file from us.
    CloseHandle(held);
    HANDLE again = CreateFileA((dir + "\\held").c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    CloseHandle(again);
    SetEvent(release);
    CloseHandle(release);
    EXPECT_FALSE(Exists(dir + "\\two.started"));
}

namespace {

// What a started program left in a file, once it is there; "" after 10 s.
std::string WaitForText(const std::string& path)
{
    char text[MAX_PATH] = {};
    for (int i = 0; i < 500 && text[0] == '\0'; ++i) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        DWORD read = 0;
        if (file == INVALID_HANDLE_VALUE || !ReadFile(file, text, MAX_PATH - 1, &read, NULL))
            Sleep(20);
        CloseHandle(file);
    }
    return text;
}

} // namespace

// The forms an administrator writes, each started by the program it names:
// bare names without an extension are looked for where the process creation
// looks (the program's folder, system32, the Windows folder, PATH), never in
// the current directory, which is the system directory in the service and
// the admin's prompt in a preview.
TEST(RunApplication, StartsEveryOrdinaryFormByTheFullNameOfItsProgram)
{
    const std::string dir = FreshFolder("forms");
    const std::string child = TestProgramFolder() + "wait_child.exe";
    MakeFolder(dir + "\\Program Files");
    MakeFolder(dir + "\\prompt");
    for (const char* copy : { "\\Program Files\\tool.exe", "\\tool.exe", "\\prompt\\promptonly.exe" })
        ASSERT_TRUE(CopyFileA(child.c_str(), (dir + copy).c_str(), FALSE)) << copy;
    WriteTextFile(dir + "\\job.bat", "@echo bat %1> " + dir + "\\bat.txt");
    WriteTextFile(dir + "\\x.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\FenwashForms]\n\"ran\"=\"yes\"\n");
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, "engine-forms-release");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA((dir + "\\prompt").c_str()));

    EXPECT_TRUE(RunApplication(("cmd /c echo ran> " + dir + "\\cmd.txt").c_str()));
    EXPECT_TRUE(RunApplication(("regedit /s " + dir + "\\x.reg").c_str()));
    EXPECT_TRUE(RunApplication(("cmd.exe /c echo bare> " + dir + "\\bare.txt").c_str()));
    EXPECT_TRUE(RunApplication((dir + "\\job.bat one").c_str()));
    EXPECT_TRUE(RunApplication(("\"" + dir + "\\Program Files\\tool.exe\" " + dir + "\\quoted engine-forms-release").c_str()));
    EXPECT_TRUE(RunApplication((dir + "\\tool.exe " + dir + "\\full engine-forms-release").c_str()));
    EXPECT_TRUE(RunApplication(("wait_child " + dir + "\\beside engine-forms-release").c_str()));
    EXPECT_FALSE(RunApplication(("promptonly " + dir + "\\prompt engine-forms-release").c_str()));
    EXPECT_FALSE(RunApplication(("prompt\\promptonly.exe " + dir + "\\relative engine-forms-release").c_str()));
    // Quoted, a program is looked for by the same rules.
    EXPECT_TRUE(RunApplication(("\"wait_child\" " + dir + "\\qbeside engine-forms-release").c_str()));
    EXPECT_FALSE(RunApplication(("\"promptonly\" " + dir + "\\qprompt engine-forms-release").c_str()));
    EXPECT_FALSE(RunApplication(("\"prompt\\promptonly.exe\" " + dir + "\\qrelative engine-forms-release").c_str()));
    // A quoted program by a path of two separators (a share; here the
    // platform's path of the host's file) is started as written.
    std::string hostPath = UnixFileName(child);
    ASSERT_FALSE(hostPath.empty());
    for (char& c : hostPath)
        c = c == '/' ? '\\' : c;
    EXPECT_TRUE(RunApplication(("\"\\\\?\\unix" + hostPath + "\" " + dir + "\\share engine-forms-release").c_str()));
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(WaitForText(dir + "\\cmd.txt"), "ran\r\n");
    EXPECT_EQ(WaitForText(dir + "\\bare.txt"), "bare\r\n");
    EXPECT_EQ(WaitForText(dir + "\\bat.txt"), "bat one\r\n");
    EXPECT_EQ(Lower(WaitForText(dir + "\\quoted.started")), Lower(dir + "\\Program Files\\tool.exe"));
    EXPECT_EQ(Lower(WaitForText(dir + "\\full.started")), Lower(dir + "\\tool.exe"));
    EXPECT_EQ(Lower(WaitForText(dir + "\\beside.started")), Lower(child));
    EXPECT_EQ(Lower(WaitForText(dir + "\\qbeside.started")), Lower(child));
    EXPECT_FALSE(WaitForText(dir + "\\share.started").empty());
    HKEY key = NULL;
    for (int i = 0; i < 500 && RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\FenwashForms", 0, KEY_READ, &key) != 0; ++i)
        Sleep(20);
    EXPECT_NE(key, (HKEY)NULL) << "regedit /s did not import the script";
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\FenwashForms");
    SetEvent(release);
    CloseHandle(release);
    Sleep(200);
    for (const char* name : { "\\prompt.started", "\\relative.started", "\\qprompt.started", "\\qrelative.started" })
        EXPECT_FALSE(Exists(dir + name)) << name;
}

// A line of 259 characters, the most a value holds, still starts once its
// program is quoted by the longer full name found.
TEST(RunApplication, ALineAsLongAsAValueHoldsStarts)
{
    const std::string dir = FreshFolder("longline");
    const std::string echo = "cmd /c echo ";
    const std::string tail = "> " + dir + "\\full.txt";
    const std::string text(259 - echo.size() - tail.size(), 'z');
    ASSERT_EQ((echo + text + tail).size(), 259u);
    EXPECT_TRUE(RunApplication((echo + text + tail).c_str()));
    EXPECT_EQ(WaitForText(dir + "\\full.txt"), text + "\r\n");
}

TEST(RunApplication, AMissingProgramIsFalse)
{
    EXPECT_FALSE(RunApplication("C:\\engine\\no-such-program.exe /quiet"));
    EXPECT_FALSE(RunApplication(""));
    // A preview must not promise to start a quoted program that is not there.
    previewOnly = true;
    EXPECT_FALSE(RunApplication("\"C:\\engine\\no-such-program.exe\" /quiet"));
    EXPECT_TRUE(RunApplication("\"cmd.exe\" /c rem"));
    previewOnly = false;
}
