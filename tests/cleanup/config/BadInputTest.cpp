// Files that are missing, empty, huge or no text at all: start values and
// bounded strings, never a crash.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "ConfigTestFiles.h"
#include "ConfigurationSnapshot.h"
#include "config/Configuration.h"
#include "config/IniSection.h"

namespace {

ConfigurationSnapshot Defaults(const std::string& path)
{
    ConfigurationSnapshot defaults;
    defaults.iniPath = path;
    return defaults;
}

// Every string of the configuration ends within its 260-byte field.
void ExpectBoundedStrings()
{
    EXPECT_LT(strnlen(iniPath, MAX_PATH), (size_t)MAX_PATH);
    EXPECT_LT(strnlen(profileActionTrigger, MAX_PATH), (size_t)MAX_PATH);
    ConfigurationSnapshot snapshot = TakeSnapshot();
    for (const auto* list : { &snapshot.profiles, &snapshot.directories, &snapshot.files, &snapshot.applications }) {
        for (const SnapshotItem& item : *list)
            EXPECT_LT(item.text.size(), (size_t)MAX_PATH);
    }
    for (const std::string& path : snapshot.protectedDirectories)
        EXPECT_LT(path.size(), (size_t)MAX_PATH);
}

// Bytes of a simple generator, the same in every run.
std::string PseudoRandomBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = (char)(seed >> 16);
    }
    return bytes;
}

} // namespace

TEST(BadInput, NoFileEmptyFileOrADirectoryGiveTheStartValues)
{
    LoggingOn on;
    TestFolder folder;
    const std::string missing = folder.PathOf("missing.ini");
    const std::string empty = folder.Write("empty.ini", "");
    const std::string directory = folder.MakeFolder("Fenwash.ini");
    for (const std::string& path : { missing, empty, directory }) {
        LoadConfigurationFrom(path.c_str());
        EXPECT_EQ(TakeSnapshot(), Defaults(path)) << path;
    }

    TraceMark mark;
    CIniSection section;
    EXPECT_FALSE(section.Open(directory.c_str(), "Files"));
    EXPECT_EQ(LoggedSince(mark), (std::vector<std::pair<std::string, std::string>>{
        {"CIniSection::Open", "Filename: " + directory + "; filesize: 0"}}))
        << "a directory is no file: nothing is read from it";
    EXPECT_FALSE(section.Open(empty.c_str(), "Files"));
}

TEST(BadInput, AnUnusableFileNameGivesTheStartValues)
{
    LoadConfigurationFrom(nullptr);
    EXPECT_EQ(TakeSnapshot(), Defaults(""));
    const std::string tooLong = "C:\\" + std::string(300, 'x') + "\\Fenwash.ini";
    LoadConfigurationFrom(tooLong.c_str());
    EXPECT_EQ(TakeSnapshot(), Defaults("")) << "a cut name would be another file";
}

TEST(BadInput, SectionsOfTenThousandLines)
{
    const int lines = 10000;
    std::string text = "[Profiles]\r\nActionTrigger=USER_LOGOFF\r\n";
    for (int i = 0; i < lines; ++i)
        text += "U" + std::to_string(i) + "=user" + std::to_string(i) + "\r\n";
    text += "[Files]\r\n";
    for (int i = 0; i < lines; ++i)
        text += "F" + std::to_string(i) + "=Item\r\n";
    text += "[Item]\r\nPath=C:\\Logs\\*.log\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n";
    text += "[DontDeleteDirs]\r\n";
    for (int i = 0; i < lines; ++i)
        text += "D" + std::to_string(i) + "=C:\\Keep\\" + std::to_string(i) + "\r\n";
    TestFolder folder;
    const std::string ini = folder.Write("long.ini", text);

    LoadConfigurationFrom(ini.c_str());
    ConfigurationSnapshot snapshot = TakeSnapshot();
    ASSERT_EQ(snapshot.profiles.size(), (size_t)lines);
    EXPECT_EQ(snapshot.profiles.back(), (SnapshotItem{"user9999", KIND_PROFILE, USER_LOGOFF, ACTION_NONE}));
    ASSERT_EQ(snapshot.files.size(), (size_t)lines);
    EXPECT_EQ(snapshot.files.back(), (SnapshotItem{"C:\\Logs\\*.log", KIND_FILE, USER_SHUTDOWN, FILE_DELETE}));
    ASSERT_EQ(snapshot.protectedDirectories.size(), (size_t)lines);
    EXPECT_EQ(snapshot.protectedDirectories.back(), "C:\\Keep\\9999\\");
}

TEST(BadInput, ValuesAndKeysOfTwoThousandCharacters)
{
    const std::string huge(2000, 'v');
    const std::string hugeKey(2000, 'k');
    TestFolder folder;
    const std::string ini = folder.Write("huge.ini",
        "[Parameters]\r\nCleanProfiles=" + huge + "\r\nSaveDynamicProfiles=" + huge + "\r\n"
        "[Profiles]\r\nActionTrigger=" + huge + "USER_LOGOFF\r\nP=" + huge + "\r\n" + hugeKey + "=lost\r\n"
        "[Directories]\r\nD=" + huge + "\r\nE=Item\r\n" + hugeKey + "=Item\r\n"
        "[Item]\r\nPath=C:\\" + huge + "\r\nAction=" + huge + "DIR_EMPTY\r\nActionTrigger=SVC_STARTUP" + huge + "\r\n"
        "[DontDeleteDirs]\r\nA=C:\\" + huge + "\r\nB=C:\\Kept\r\n");
    LoadConfigurationFrom(ini.c_str());
    ExpectBoundedStrings();

    ConfigurationSnapshot snapshot = TakeSnapshot();
    EXPECT_EQ(snapshot.profileCleanupEnabled, 0);
    EXPECT_EQ(snapshot.profileActionTrigger, "") << "a value of 260 characters or more is refused whole";
    EXPECT_EQ(snapshot.profiles, (std::vector<SnapshotItem>{{"", KIND_PROFILE, 0, ACTION_NONE}}));
    EXPECT_EQ(snapshot.directories, (std::vector<SnapshotItem>{
        {"", KIND_DIRECTORY, 0, ACTION_NONE},
        {"", KIND_DIRECTORY, 0, ACTION_NONE}}))
        << "a 2,000-character key gives no line; no value of the item is cut to another one";
    EXPECT_EQ(snapshot.protectedDirectories, (std::vector<std::string>{"\\", "C:\\Kept\\"}))
        << "a refused value protects no folder, as an empty one";
}

// A cut value would name something else: the folder above the one named, a
// pattern for more files, a command line without its last arguments.
TEST(BadInput, ItemValuesLongerThanTheFieldAreRefusedNotCut)
{
    const std::string parent = "C:\\Kiosk\\" + std::string(249, 'c');    // 258 characters
    const std::string command = "C:\\Tools\\sweep.exe /all " + std::string(233, 'x') + " /keep:C:\\Data";
    const std::string fits = "C:\\Logs\\" + std::string(245, 'l') + ".log";   // 259 characters
    TestFolder folder;
    const std::string ini = folder.Write("cut.ini",
        "[Directories]\r\nD=Old\r\n[Old]\r\nPath=" + parent + "\\Old\r\nAction=DIR_DELETE\r\n"
        "ActionTrigger=SVC_STARTUP\r\n"
        "[Files]\r\nF=Logs\r\nG=Fits\r\n[Logs]\r\nPath=\"" + parent + "\\*.log\"\r\nAction=FILE_DELETE\r\n"
        "[Fits]\r\nPath=" + fits + "\r\nAction=FILE_DELETE\r\n"
        "[Applications]\r\nA=Sweep\r\n[Sweep]\r\nPath=" + command + "\r\nAction=APP_EXECUTE\r\n");
    ASSERT_EQ(parent.size() + 1, (size_t)MAX_PATH - 1) << "the cut lands just after the backslash";
    LoadConfigurationFrom(ini.c_str());

    ConfigurationSnapshot snapshot = TakeSnapshot();
    EXPECT_EQ(snapshot.directories, (std::vector<SnapshotItem>{{"", KIND_DIRECTORY, SVC_STARTUP, DIR_DELETE}}));
    EXPECT_EQ(snapshot.files, (std::vector<SnapshotItem>{
        {"", KIND_FILE, 0, FILE_DELETE}, {fits, KIND_FILE, 0, FILE_DELETE}}));
    EXPECT_EQ(snapshot.applications, (std::vector<SnapshotItem>{{"", KIND_APPLICATION, 0, APP_EXECUTE}}));
}

TEST(BadInput, BinaryBytesInsideLines)
{
    std::string control;
    for (int c = 1; c < 32; ++c) {
        if (c != '\r' && c != '\n')
            control += (char)c;
    }
    std::string high;
    for (int c = 0x80; c < 0x100; ++c)
        high += (char)c;
    TestFolder folder;
    const std::string ini = folder.Write("binary.ini",
        "[Files]\r\nF1=Item\r\nF2=" + control + "\r\nF3=" + high + "\r\nF4=Item\r\n"
        "[Item]\r\nPath=C:\\" + high + "\r\nAction=FILE_DELETE\r\nActionTrigger=USER_SHUTDOWN\r\n"
        "[DontDeleteDirs]\r\nA=C:\\" + std::string("a\0b", 3) + "\r\nB=C:\\" + control + "\r\n");
    LoadConfigurationFrom(ini.c_str());
    ExpectBoundedStrings();
    ConfigurationSnapshot snapshot = TakeSnapshot();
    ASSERT_EQ(snapshot.files.size(), 4u);
    EXPECT_EQ(snapshot.files[0].action, (DWORD)FILE_DELETE);
    EXPECT_EQ(snapshot.files[3].action, (DWORD)FILE_DELETE);
    EXPECT_EQ(snapshot.files[1], (SnapshotItem{"", KIND_FILE, 0, ACTION_NONE}));
    EXPECT_EQ(snapshot.protectedDirectories.size(), 2u);
}

TEST(BadInput, FilesThatAreNoTextAtAll)
{
    TestFolder folder;
    const std::string noise = folder.Write("noise.ini", PseudoRandomBytes(65536, 7));
    const std::string zeros = folder.Write("zeros.ini", std::string(4096, '\0'));
    static const char unicodeStart[] = "\xff\xfe[\0F\0i\0l\0e\0s\0]\0\r";
    const std::string halfUnicode = folder.Write("unicode.ini",
        std::string(unicodeStart, sizeof unicodeStart - 1) + PseudoRandomBytes(999, 3));
    for (const std::string& path : { noise, zeros, halfUnicode }) {
        LoadConfigurationFrom(path.c_str());
        ExpectBoundedStrings();
        EXPECT_EQ(TakeSnapshot(), Defaults(path)) << path;
    }
}
