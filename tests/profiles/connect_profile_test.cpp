#include "log/debug_log.h"
#include "profiles/connect_profile.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using ProfileList = std::vector<ConnectProfileData>;

namespace {

// Values that look like the file's own keys and markers, and text beyond ASCII.
ProfileList Sample()
{
    return {
        {"Büro [Destination]Wien LIST:[2]", "\\\\fileserver\\Präsentationen", true, "DOMAIN\\anna",
         "p@ss word:1 z"},
        {"東京 ロビー", "ftp://192.0.2.10:2121/slides/", true, "[ID]display", "[Password]x"},
        {"", "", false, "", ""},
    };
}

std::string Block(int n, const std::string& name, const std::string& idLine = "[ID]u\n")
{
    return "LIST:[" + std::to_string(n) + "]\n[DISP_NAME]" + name +
           "\n[Destination]ftp://h/\n[Authentication]TRUE\n" + idLine + "[Password]p\n";
}

ProfileList Load(bool expectedResult = true)
{
    ProfileList list;
    EXPECT_EQ(expectedResult, ConnectProfile().LoadConnectProfiles(list));
    return list;
}

std::vector<std::string> Names(const ProfileList& list)
{
    std::vector<std::string> names;
    for (const auto& profile : list)
        names.push_back(profile.dispName);
    return names;
}

// Saves with the file size limited below what the save writes, in a child.
int SaveWithSizeLimit(const ProfileList& list, bool killed)
{
    return RunInChild([&] {
        const rlimit none{0, 0}, tiny{10, 10};
        ::setrlimit(RLIMIT_CORE, &none);
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        // With the signal on, the kernel kills the save in the middle of its write.
        std::signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
        return ConnectProfile().SaveConnectProfiles(list) ? 1 : 0;
    });
}

} // namespace

TEST(ConnectProfileStore, WritesSixLinesPerBlockIntoAPrivateFile)
{
    ConfigHome home;
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles(
        {{"Office", "ftp://server/scans", false, "", ""}, {"B", "\\\\s\\d", true, "u", "p"}}));
    EXPECT_EQ("LIST:[0]\n[DISP_NAME]Office\n[Destination]ftp://server/scans\n"
              "[Authentication]FALSE\n[ID]\n[Password]\n"
              "LIST:[1]\n[DISP_NAME]B\n[Destination]\\\\s\\d\n"
              "[Authentication]TRUE\n[ID]u\n[Password]p\n",
              ReadProfileText(home));
    struct stat info
    {};
    ASSERT_EQ(0, ::stat(home.File().c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 07777);
    ASSERT_EQ(0, ::stat(home.Folder().c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 07777);
    EXPECT_EQ(std::vector<std::string>{home.File().filename().string()}, home.FolderEntries());
}

TEST(ConnectProfileStore, RoundTripKeepsEveryFieldAndLoadingAppends)
{
    ConfigHome home;
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles(Sample()));
    ProfileList list = {{"kept", "", false, "", ""}};
    ASSERT_TRUE(ConnectProfile().LoadConnectProfiles(list));
    ASSERT_TRUE(ConnectProfile().LoadConnectProfiles(list));
    const ProfileList sample = Sample();
    ProfileList expected = {{"kept", "", false, "", ""}};
    for (int copy = 0; copy < 2; ++copy)
        expected.insert(expected.end(), sample.begin(), sample.end());
    EXPECT_EQ(expected, list);
}

TEST(ConnectProfileStore, EmptyListAndMissingFile)
{
    ConfigHome home;
    EXPECT_TRUE(Load().empty());
    EXPECT_FALSE(fs::exists(home.Folder()));
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles({}));
    const auto size = fs::file_size(home.File());
    EXPECT_TRUE(size == 15 || size == 16) << size;
    EXPECT_TRUE(Load().empty());
    WriteFile(home.File(), "");
    EXPECT_TRUE(Load(false).empty());
}

TEST(ConnectProfileStore, IncompleteBlocksAreSkippedWithoutBorrowingLaterLines)
{
    ConfigHome home;
    WriteProfileFile(home, Block(0, "NoId", "") + Block(1, "Good") + "LIST:[2]\n[DISP_NAME]Cut\n" +
                               Block(3, "Next") + "LIST:[4]");
    EXPECT_EQ((std::vector<std::string>{"Good", "Next"}), Names(Load()));
    // The last line needs no line feed.
    std::string last = Block(0, "Last");
    last.pop_back();
    WriteProfileFile(home, last);
    EXPECT_EQ((ProfileList{{"Last", "ftp://h/", true, "u", "p"}}), Load());
}

TEST(ConnectProfileStore, TextEndsAtAZeroByteAndMustBeUtf8)
{
    ConfigHome home;
    WriteProfileFile(home, Block(0, "A") + std::string("\0\n", 2) + Block(1, "B"));
    EXPECT_EQ(std::vector<std::string>{"A"}, Names(Load()));
    WriteProfileFile(home, Block(0, "A") + Block(1, "bad \xC3("));
    EXPECT_TRUE(Load().empty());
}

TEST(ConnectProfileStore, WithoutAnApplicationFolderNothingLoadsOrSaves)
{
    uid_t stranger = 54321;
    while (::getpwuid(stranger) != nullptr)
        ++stranger;
    EXPECT_EQ(0, RunInChild([&] {
                  ::unsetenv("XDG_CONFIG_HOME");
                  ::unsetenv("HOME");
                  if (::setuid(stranger) != 0)
                      return 9;
                  std::string path = "unchanged";
                  ProfileList list;
                  if (ConnectProfile().GetFilePath(path) || path != "unchanged")
                      return 1;
                  return ConnectProfile().LoadConnectProfiles(list) ||
                                 ConnectProfile().SaveConnectProfiles(Sample())
                             ? 2
                             : 0;
              }));
}

TEST(ConnectProfileSave, FailedSaveLeavesTheOldFileAsItWas)
{
    ConfigHome home;
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles(Sample()));
    const std::string before = ReadFile(home.File());
    const std::vector<std::string> entries = home.FolderEntries();
    const auto expectUnchanged = [&] {
        EXPECT_EQ(before, ReadFile(home.File()));
        EXPECT_EQ(entries, home.FolderEntries());
    };

    // Text that is not UTF-8 cannot be saved.
    EXPECT_FALSE(ConnectProfile().SaveConnectProfiles({{"bad \xFF", "", false, "", ""}}));
    expectUnchanged();
    // The write itself fails.
    EXPECT_EQ(0, SaveWithSizeLimit({{"too long", "ftp://x/", false, "", ""}}, false));
    expectUnchanged();
    // The folder takes no new file.
    Immutable locked(home.Folder());
    if (!locked.Holds())
        GTEST_SKIP() << "the filesystem here has no immutable attribute";
    ASSERT_ANY_THROW(WriteFile(home.Folder() / "probe", "x"));
    EXPECT_FALSE(ConnectProfile().SaveConnectProfiles({}));
    expectUnchanged();
}

TEST(ConnectProfileSave, SaveKilledBeforeTheRenameLeavesTheOldFileLoadable)
{
    ConfigHome home;
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles(Sample()));
    const std::string before = ReadFile(home.File());

    EXPECT_EQ(-1, SaveWithSizeLimit({{"never", "ftp://x/", false, "", ""}}, true));
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ(2u, home.FolderEntries().size()) << "the killed save left no partial file";
    EXPECT_EQ(Sample(), Load());

    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles({{"after", "ftp://y/", false, "", ""}}));
    EXPECT_EQ(std::vector<std::string>{"after"}, Names(Load()));
}
