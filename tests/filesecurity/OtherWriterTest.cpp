// COtherWriterCheck on descriptors written in the security descriptor
// language, each one a DACL an administrator could meet on a terminal, and on
// real files of the terminal whose permissions the host's mode bits hold.
#include <windows.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <string>

#include "HostShell.h"
#include "OtherWriter.h"

namespace {

// The owner of every descriptor below: an ordinary local user.
const char owner[] = "O:S-1-5-21-7-7-7-1001";

struct Case
{
    const char* dacl;
    WriterCheck expected;
    const char* writer; // the account named, for WRITER_OTHER
};

// Administrators, SYSTEM and the owner may change it; Everyone reads.
#define CLOSED "(A;;FA;;;BA)(A;;FA;;;SY)(A;;FA;;;S-1-5-21-7-7-7-1001)(A;;FRFX;;;WD)"

const Case cases[] = {
    // What -RegServer sets, with and without the owner's own entry, and with
    // the folder's inheritance flags.
    { "D:" CLOSED, WRITERS_TRUSTED, "" },
    { "D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;WD)", WRITERS_TRUSTED, "" },
    // Rights that change neither contents nor permissions stay allowed.
    { "D:" CLOSED "(A;;0x120189;;;BU)", WRITERS_TRUSTED, "" },
    { "D:" CLOSED "(A;;FRFXRCSD;;;BU)", WRITER_OTHER, "Users" },
    // Windows NT 4.0's default for Program Files: Everyone "Change".
    { "D:(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1301bf;;;WD)", WRITER_OTHER, "Everyone" },
    // Each right that lets an account change or replace the file or what lies
    // in the folder, given alone.
    { "D:" CLOSED "(A;;0x2;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;0x4;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;0x40;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;SD;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;WD;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;WO;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;GW;;;BU)", WRITER_OTHER, "Users" },
    { "D:" CLOSED "(A;;GA;;;BU)", WRITER_OTHER, "Users" },
    // An entry only for what is created later does not apply to the object.
    { "D:" CLOSED "(A;OICIIO;FA;;;WD)", WRITERS_TRUSTED, "" },
    // A denial read before the grant takes the right away; one read after
    // it does not; a denial to Everyone reaches every account.
    { "D:(D;;FW;;;BU)" CLOSED "(A;;FW;;;BU)", WRITERS_TRUSTED, "" },
    { "D:(D;;FWSD;;;WD)" CLOSED "(A;;FWSD;;;BU)", WRITERS_TRUSTED, "" },
    { "D:" CLOSED "(A;;FW;;;BU)(D;;FW;;;BU)", WRITER_OTHER, "Users" },
    { "D:(D;;0x2;;;BU)" CLOSED "(A;;0x6;;;BU)", WRITER_OTHER, "Users" },
    // A denial for another group leaves the members outside it.
    { "D:(D;;FW;;;BU)" CLOSED "(A;;FW;;;WD)", WRITER_OTHER, "Everyone" },
    // An account the system has no name for is named by its identifier.
    { "D:" CLOSED "(A;;FW;;;S-1-5-21-9-9-9-4000)", WRITER_OTHER, "S-1-5-21-9-9-9-4000" },
    // An audit entry grants nothing.
    { "D:" CLOSED "S:(AU;SAFA;FA;;;WD)", WRITERS_TRUSTED, "" },
};

std::string Named(PSID sid)
{
    char name[MAX_PATH];
    AccountName(sid, name, MAX_PATH);
    // "BUILTIN\Users" on Windows; the domain is not what is tested.
    std::string text = name;
    size_t slash = text.rfind('\\');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string TestFolder()
{
    std::string folder = "C:\\other-writer-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

bool MakeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

TEST(OtherWriter, EachDescriptorGivesItsWriter)
{
    COtherWriterCheck check;
    for (const Case& c : cases) {
        std::string text = std::string(owner) + c.dacl;
        PSECURITY_DESCRIPTOR descriptor = NULL;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1, &descriptor,
                                                                         NULL))
            << text;
        EXPECT_EQ(check.CheckDescriptor(descriptor), c.expected) << text;
        if (c.expected == WRITER_OTHER) {
            EXPECT_EQ(Named(check.Writer()), c.writer) << text;
        } else {
            EXPECT_EQ(check.Writer(), (PSID)NULL) << text;
        }
        LocalFree(descriptor);
    }
}

// A NULL DACL, or none at all, lets everyone do everything; an empty one
// lets no one do anything.
TEST(OtherWriter, NoDaclIsEveryoneAndAnEmptyOneIsNoOne)
{
    COtherWriterCheck check;
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    EXPECT_EQ(check.CheckDescriptor(&descriptor), WRITER_OTHER);
    EXPECT_EQ(Named(check.Writer()), "Everyone");

    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, NULL, FALSE));
    EXPECT_EQ(check.CheckDescriptor(&descriptor), WRITER_OTHER);
    EXPECT_EQ(Named(check.Writer()), "Everyone");

    DWORD aclBuffer[4];
    ASSERT_TRUE(InitializeAcl((PACL)aclBuffer, sizeof aclBuffer, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, (PACL)aclBuffer, FALSE));
    EXPECT_EQ(check.CheckDescriptor(&descriptor), WRITERS_TRUSTED);
}

TEST(OtherWriter, TheOwnerMayChangeItButOnlyTheOwner)
{
    COtherWriterCheck check;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:S-1-5-21-7-7-7-1002D:" CLOSED, SDDL_REVISION_1, &descriptor, NULL));
    EXPECT_EQ(check.CheckDescriptor(descriptor), WRITER_OTHER);
    EXPECT_EQ(Named(check.Writer()), "S-1-5-21-7-7-7-1001");
    LocalFree(descriptor);
}

// On the terminal a file's permissions are its mode bits: a file writable
// for others on the host is writable by Everyone.
TEST(OtherWriter, FilesAndFoldersOpenedOnTheHostAreOpenToEveryone)
{
    std::string folder = TestFolder(), file = folder + "\\settings.ini";
    ASSERT_TRUE(MakeFile(file));
    ASSERT_TRUE(ChangeUnixMode(folder, "o-w"));
    ASSERT_TRUE(ChangeUnixMode(file, "o-w"));
    COtherWriterCheck check;
    EXPECT_EQ(check.Check(folder.c_str()), WRITERS_TRUSTED);
    EXPECT_EQ(check.Check(file.c_str()), WRITERS_TRUSTED);

    ASSERT_TRUE(ChangeUnixMode(file, "o+w"));
    EXPECT_EQ(check.Check(file.c_str()), WRITER_OTHER);
    EXPECT_EQ(Named(check.Writer()), "Everyone");
    EXPECT_EQ(check.Check(folder.c_str()), WRITERS_TRUSTED);

    ASSERT_TRUE(ChangeUnixMode(folder, "o+w"));
    EXPECT_EQ(check.Check(folder.c_str()), WRITER_OTHER);
    EXPECT_EQ(Named(check.Writer()), "Everyone");
}

TEST(OtherWriter, AFileThatIsNotThereIsUnknownWithItsError)
{
    COtherWriterCheck check;
    std::string missing = TestFolder() + "\\missing.ini";
    EXPECT_EQ(check.Check(missing.c_str()), WRITERS_UNKNOWN);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
}

TEST(OtherWriter, TheTerminalsDrivesKeepPermissions)
{
    EXPECT_TRUE(VolumeKeepsPermissions("C:\\windows"));
    EXPECT_TRUE(VolumeKeepsPermissions("C:\\"));
    // Not asked about: the permission calls speak for themselves.
    EXPECT_TRUE(VolumeKeepsPermissions("\\\\server\\share\\Fenwash.ini"));
    EXPECT_TRUE(VolumeKeepsPermissions(""));
}
