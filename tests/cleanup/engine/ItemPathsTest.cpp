// How the engine reads the paths of cleanup items at a logoff, as the service
// runs it: each scenario puts the case that went wrong beside the ordinary
// forms the same rule must keep working (a plain folder, a long name with
// blanks, a *.tmp pattern, a [DontDeleteDirs] line written by hand in other
// case and with a trailing backslash).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineFiles.h"
#include "TerminalTrace.h"
#include "TestProfiles.h"
#include "config/Configuration.h"
#include "engine/EventProcessing.h"
#include "engine/FileActions.h"
#include "service/LogMessage.h"

namespace {

std::string Item(const std::string& name, const std::string& path, const std::string& action)
{
    return "[" + name + "]\nPath=" + path + "\nAction=" + action + "\nActionTrigger=USER_LOGOFF\n";
}

// A logoff with this configuration; the engine's log lines it wrote, as
// "SOURCE: TEXT".
std::vector<std::string> Logoff(const std::string& folder, const std::string& ini)
{
    WriteTextFile(folder + "\\Fenwash.ini", ini);
    LoadConfigurationFrom((folder + "\\Fenwash.ini").c_str());
    logDisabled = 0;
    TraceMark mark;
    ProcessEvents(USER_LOGOFF);
    logDisabled = 1;
    std::vector<std::string> lines;
    for (const EventLogEntry& entry : mark.NewEntries())
        lines.push_back(entry.source + ": " + entry.strings.at(0));
    return lines;
}

bool Logged(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& logged : lines) {
        if (logged == line)
            return true;
    }
    return false;
}

bool IsLinkThere(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string ShortName(const std::string& path)
{
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortName, MAX_PATH);
    return shortName;
}

} // namespace

// C:\...\RootLink is a link to the root of drive Z:, C:\...\LinkTemp one to a
// folder whose Keep is protected. Neither is entered: DIR_EMPTY leaves the
// link and says so, DIR_DELETE removes the link itself (the terminal cannot
// remove a link to a folder that holds something, so there it stays).
TEST(ItemPaths, ALinkAtAnItemsOwnPathIsNeverEntered)
{
    const std::string dir = FreshFolder("items-link");
    MakeFolder("Z:\\other-drive");
    MakeFile("Z:\\other-drive\\data.txt");
    MakeFile("Z:\\root-file.txt");
    MakeFolder(dir + "\\victim");
    MakeFolder(dir + "\\victim\\Keep");
    MakeFile(dir + "\\victim\\Keep\\k.txt");
    MakeFile(dir + "\\victim\\loose.txt");
    ASSERT_TRUE(MakeUnixLink(dir + "\\RootLink", "Z:\\"));
    ASSERT_TRUE(MakeUnixLink(dir + "\\LinkTemp", dir + "\\victim"));
    ASSERT_TRUE(IsLinkThere(dir + "\\RootLink")) << "the terminal shows a folder link as a reparse point";
    // The ordinary forms beside them.
    const std::string blanks = dir + "\\Temp Files For Kiosk";
    MakeFolder(blanks);
    MakeFile(blanks + "\\a.txt");
    MakeFolder(blanks + "\\sub");
    MakeFile(blanks + "\\sub\\b.txt");
    MakeFolder(blanks + "\\Keep");
    MakeFile(blanks + "\\Keep\\kept.txt");
    MakeFolder(dir + "\\Old");
    MakeFile(dir + "\\Old\\old.txt");
    MakeFolder(dir + "\\Logs");
    MakeFile(dir + "\\Logs\\x.tmp");
    MakeFile(dir + "\\Logs\\x.log");

    std::vector<std::string> log = Logoff(dir,
        "[Directories]\nD1=RootLink\nD2=LinkTemp\nD3=LinkTempContents\nD4=Blanks\nD5=Old\n"
        + Item("RootLink", dir + "\\RootLink", "DIR_EMPTY")
        + Item("LinkTemp", dir + "\\LinkTemp", "DIR_DELETE")
        + Item("LinkTempContents", dir + "\\LinkTemp\\", "DIR_EMPTY")
        + Item("Blanks", blanks, "DIR_EMPTY")
        + Item("Old", dir + "\\Old", "DIR_DELETE")
        + "[Files]\nF1=Tmp\n" + Item("Tmp", dir + "\\Logs\\*.tmp", "FILE_DELETE")
        + "[DontDeleteDirs]\nK1=" + dir + "\\victim\\Keep\nK2=C:\\ENGINE\\items-link\\temp files for kiosk\\KEEP\\\n");

    EXPECT_TRUE(Exists("Z:\\other-drive\\data.txt")) << "the other drive was emptied";
    EXPECT_TRUE(Exists("Z:\\root-file.txt"));
    EXPECT_TRUE(IsLinkThere(dir + "\\RootLink"));
    EXPECT_TRUE(Exists(dir + "\\victim\\loose.txt")) << "the link's target was emptied";
    EXPECT_TRUE(Exists(dir + "\\victim\\Keep\\k.txt"));
    EXPECT_TRUE(Logged(log, "DeleteDirectoryContents: Leaving link, not entered: " + dir + "\\RootLink"));
    EXPECT_TRUE(Logged(log, "DeleteDirectoryContents: Leaving link, not entered: " + dir + "\\LinkTemp\\"));
    EXPECT_TRUE(Logged(log, "DeleteDirectory: Removing the link itself, not its target: " + dir + "\\LinkTemp"));

    EXPECT_EQ(CountEntries(blanks), 1);
    EXPECT_TRUE(Exists(blanks + "\\Keep\\kept.txt"));
    EXPECT_FALSE(Exists(dir + "\\Old"));
    EXPECT_FALSE(Exists(dir + "\\Logs\\x.tmp"));
    EXPECT_TRUE(Exists(dir + "\\Logs\\x.log"));
}

// A user can make "pin." or "keep " through a "\\?\" path. They are deleted
// by their exact names, a folder "dot." with what it holds; the entries that
// the trimmed names would reach ("keep", "dot", both protected) stay. A
// profile whose folder held "pin." goes with its key.
TEST(ItemPaths, NamesEndingInADotOrBlankAreDeletedByTheirExactNames)
{
    const std::string dir = FreshFolder("items-dot");
    const std::string exact = "\\\\?\\" + dir;
    const std::string kiosk = dir + "\\Kiosk Scratch";
    MakeFolder(kiosk);
    MakeFile(exact + "\\Kiosk Scratch\\pin.");
    MakeFolder(exact + "\\Kiosk Scratch\\keep ");
    MakeFile(exact + "\\Kiosk Scratch\\keep \\inside.txt");
    MakeFolder(exact + "\\Kiosk Scratch\\dot.");
    MakeFile(exact + "\\Kiosk Scratch\\dot.\\inside.txt");
    MakeFolder(kiosk + "\\keep");
    MakeFile(kiosk + "\\keep\\kept.txt");
    MakeFolder(kiosk + "\\dot");
    MakeFile(kiosk + "\\dot\\kept.txt");
    MakeFile(kiosk + "\\plain.txt");
    ASSERT_TRUE(Exists(exact + "\\Kiosk Scratch\\pin.") && !Exists(kiosk + "\\pin")) << "the terminal keeps the dot";
    MakeFolder(dir + "\\Logs");
    MakeFile(exact + "\\Logs\\stale.tmp.");
    MakeFile(dir + "\\Logs\\a.tmp");
    MakeFile(dir + "\\Logs\\a.log");
    MakeFolder(dir + "\\stranger");
    MakeFile(dir + "\\stranger\\ntuser.dat");
    MakeFile(exact + "\\stranger\\pin.");
    ClearProfileList();
    AddProfile("S-1-5-21-6-6-6-stranger", dir + "\\stranger");

    Logoff(dir, "[Profiles]\nActionTrigger=USER_LOGOFF\n"
                "[Directories]\nD1=Kiosk\n" + Item("Kiosk", kiosk, "DIR_EMPTY")
                + "[Files]\nF1=Tmp\n" + Item("Tmp", dir + "\\Logs\\*.tmp*", "FILE_DELETE")
                + "[DontDeleteDirs]\nK1=c:\\ENGINE\\items-dot\\kiosk scratch\\KEEP\\\nK2=" + kiosk + "\\dot\n");

    EXPECT_FALSE(Exists(exact + "\\Kiosk Scratch\\pin."));
    EXPECT_FALSE(Exists(exact + "\\Kiosk Scratch\\keep "));
    EXPECT_FALSE(Exists(exact + "\\Kiosk Scratch\\dot."));
    EXPECT_TRUE(Exists(kiosk + "\\keep\\kept.txt")) << "the trimmed name reached the protected folder";
    EXPECT_TRUE(Exists(kiosk + "\\dot\\kept.txt"));
    EXPECT_EQ(CountEntries(kiosk), 2);
    EXPECT_FALSE(Exists(exact + "\\Logs\\stale.tmp."));
    EXPECT_FALSE(Exists(dir + "\\Logs\\a.tmp"));
    EXPECT_TRUE(Exists(dir + "\\Logs\\a.log"));
    EXPECT_FALSE(Exists(dir + "\\stranger")) << "the profile was kept for one file";
    EXPECT_FALSE(ProfileKeyExists("S-1-5-21-6-6-6-stranger"));
}

// The same protected folders reached under other names: the short 8.3 name
// of the folder above, and a drive letter whose root is a folder of C:.
TEST(ItemPaths, DontDeleteDirsProtectsAFolderUnderEveryName)
{
    const std::string dir = FreshFolder("items-identity");
    const std::string scratch = dir + "\\KioskScratchArea";
    MakeFolder(scratch);
    MakeFolder(scratch + "\\Keep");
    MakeFile(scratch + "\\Keep\\k.txt");
    MakeFile(scratch + "\\Keep\\x.tmp");
    MakeFile(scratch + "\\junk.txt");
    const std::string shortScratch = ShortName(scratch);
    ASSERT_NE(shortScratch, "");
    ASSERT_EQ(shortScratch.find("KioskScratchArea"), std::string::npos) << "the terminal gives it a short name";
    MakeFolder(dir + "\\Drive");
    MakeFolder(dir + "\\Drive\\Temp");
    MakeFolder(dir + "\\Drive\\Temp\\Keep2");
    MakeFile(dir + "\\Drive\\Temp\\Keep2\\k.txt");
    MakeFile(dir + "\\Drive\\Temp\\junk.txt");
    ASSERT_TRUE(MakeDriveLetter('Y', dir + "\\Drive"));
    ASSERT_TRUE(Exists("Y:\\Temp\\Keep2\\k.txt"));
    // The ordinary forms beside them.
    const std::string blanks = dir + "\\Plain Folder";
    MakeFolder(blanks);
    MakeFolder(blanks + "\\Keep Me");
    MakeFile(blanks + "\\Keep Me\\k.txt");
    MakeFile(blanks + "\\junk.txt");

    Logoff(dir, "[Directories]\nD1=Short\nD2=Letter\nD3=Blanks\n"
                + Item("Short", shortScratch, "DIR_EMPTY") + Item("Letter", "Y:\\Temp", "DIR_EMPTY")
                + Item("Blanks", blanks, "DIR_DELETE")
                + "[Files]\nF1=Tmp\n" + Item("Tmp", scratch + "\\Keep\\*.tmp", "FILE_DELETE")
                + "[DontDeleteDirs]\nK1=" + scratch + "\\Keep\nK2=c:\\ENGINE\\items-identity\\drive\\temp\\KEEP2\\\n"
                  "K3=" + blanks + "\\Keep Me\nK4=C:\\engine\\items-identity\\never-made\n");

    EXPECT_TRUE(Exists(scratch + "\\Keep\\k.txt")) << "reached through the short name";
    EXPECT_FALSE(Exists(scratch + "\\junk.txt"));
    EXPECT_TRUE(Exists(dir + "\\Drive\\Temp\\Keep2\\k.txt")) << "reached through another drive letter";
    EXPECT_FALSE(Exists(dir + "\\Drive\\Temp\\junk.txt"));
    EXPECT_TRUE(Exists(blanks + "\\Keep Me\\k.txt"));
    EXPECT_FALSE(Exists(blanks + "\\junk.txt"));
    EXPECT_FALSE(Exists(scratch + "\\Keep\\x.tmp")) << "file patterns are not guarded";
}

// Patterns match as Windows' search matches them, whatever the terminal's
// search returns ("*." gives every name there); a folder that cannot be read
// for a reason other than "not found" does not count as missing.
TEST(ItemPaths, PatternsMatchAsTheSystemsSearchAndUnreadableIsNotMissing)
{
    const std::string dir = FreshFolder("items-pattern");
    struct Case
    {
        const char* folder;
        const char* pattern;
        std::vector<std::string> deleted, kept;
    };
    const std::vector<Case> cases = {
        { "NoExtension", "*.", { "noext", "README" }, { "a.txt", "x.y.z", "tail.log" } },
        { "Question", "a?.txt", { "a.txt", "ab.txt" }, { "abc.txt", "a.txt.old", "b.txt" } },
        { "Questions", "ab??", { "ab", "abc", "abcd" }, { "abcde", "ab.x" } },
        { "DotStar", "name.*", { "name", "name.txt", "name.a.b" }, { "names", "xname.txt" } },
        { "Temp", "*.tmp", { "a.tmp", "b.TMP", "c.d.tmp" }, { "a.tmp.keep", "keep.tmpx", "tmp" } },
        { "Long Folder Name", "Daily Report *.log", { "Daily Report 1.log", "daily report 2024-05.LOG" }, { "Daily Summary.log" } },
    };
    std::string ini = "[Files]\n", items;
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = dir + "\\" + c.folder;
        MakeFolder(folder);
        for (const std::string& name : c.deleted)
            MakeFile(folder + "\\" + name);
        for (const std::string& name : c.kept)
            MakeFile(folder + "\\" + name);
        const std::string key = "F" + std::to_string(++n);
        ini += key + "=" + key + "\n";
        items += Item(key, folder + "\\" + c.pattern, "FILE_DELETE");
    }
    // An ordinary folder, emptied around a protected one written by hand.
    const std::string plain = dir + "\\Plain Temp";
    MakeFolder(plain);
    MakeFile(plain + "\\a.txt");
    MakeFolder(plain + "\\Keep");
    MakeFile(plain + "\\Keep\\k.txt");
    Logoff(dir, ini + items + "[Directories]\nD1=Plain\n" + Item("Plain", plain, "DIR_EMPTY")
                    + "[DontDeleteDirs]\nK1=c:\\ENGINE\\items-pattern\\plain temp\\KEEP\\\n");
    EXPECT_FALSE(Exists(plain + "\\a.txt"));
    EXPECT_TRUE(Exists(plain + "\\Keep\\k.txt"));
    for (const Case& c : cases) {
        for (const std::string& name : c.deleted)
            EXPECT_FALSE(Exists(dir + "\\" + c.folder + "\\" + name)) << c.pattern << " keeps " << name;
        for (const std::string& name : c.kept)
            EXPECT_TRUE(Exists(dir + "\\" + c.folder + "\\" + name)) << c.pattern << " deletes " << name;
    }

    // A bad name is no missing folder; a missing one still is.
    EXPECT_FALSE(CanCleanDir((dir + "\\bad|name").c_str()));
    EXPECT_FALSE(DeleteDirectoryContents((dir + "\\bad|name").c_str()));
    EXPECT_FALSE(DeleteMatchingFiles((dir + "\\bad|name\\*.tmp").c_str()));
    EXPECT_TRUE(CanCleanDir((dir + "\\never-made").c_str()));
    EXPECT_TRUE(DeleteDirectoryContents((dir + "\\never-made").c_str()));
    EXPECT_TRUE(DeleteDirectory((dir + "\\never-made").c_str(), true));
    EXPECT_TRUE(DeleteMatchingFiles((dir + "\\never-made\\*.tmp").c_str()));
}
