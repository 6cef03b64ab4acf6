#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

ConnectProfileData Profile(const std::string& name)
{
    return {name, "ftp://" + name + "/", true, "id-" + name, "pw-" + name};
}

std::vector<std::string> Names(ConnProfController& controller)
{
    std::vector<std::string> names;
    controller.GetProfileNameList(names);
    return names;
}

mode_t Mode(const fs::path& path)
{
    struct stat info
    {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

TEST(ProfileFileSafety, NoValueWithALineBreakIsWritten)
{
    ConfigHome home;
    ConnProfController controller;
    ASSERT_TRUE(controller.AddConnectProfile(Profile("kept")));
    const std::string before = ReadFile(home.File());
    // A name that would forge a block of its own, and each field in turn.
    std::vector<ConnectProfileData> forged;
    forged.push_back(Profile("x\nLIST:[1]\n[DISP_NAME]forged"));
    for (std::string ConnectProfileData::*field :
         {&ConnectProfileData::dispName, &ConnectProfileData::destination, &ConnectProfileData::id,
          &ConnectProfileData::password}) {
        for (const char* lineBreak : {"\n", "\r"}) {
            ConnectProfileData profile = Profile("p");
            profile.*field += lineBreak + std::string("tail");
            forged.push_back(profile);
        }
    }
    for (const ConnectProfileData& profile : forged) {
        EXPECT_FALSE(ConnectProfile().SaveConnectProfiles({Profile("kept"), profile}));
        EXPECT_FALSE(controller.AddConnectProfile(profile));
        EXPECT_FALSE(controller.ModifyConnectProfile(profile, 0));
    }
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ(std::vector<std::string>{"kept"}, Names(controller));
}

TEST(ProfileFileSafety, AFileThatCannotBeReadIsNeverReplaced)
{
    ConfigHome home;
    ASSERT_TRUE(ConnProfController().AddConnectProfile(Profile("precious")));
    GiveToNobody(home);
    fs::permissions(home.File(), fs::perms::none);
    const std::string before = ReadFile(home.File());
    EXPECT_EQ(0, RunAsUnprivileged([file = home.File()] {
                  if (::access(file.c_str(), R_OK) == 0)
                      return 9; // the file must really be unreadable here
                  ConnProfController controller;
                  if (controller.Init() || controller.GetProfileCount() != 0)
                      return 1;
                  if (controller.AddConnectProfile(Profile("new")))
                      return 2;
                  ConnProfController late; // never loaded: must not save over it either
                  return late.AddConnectProfile(Profile("late")) ? 3 : 0;
              }));
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ(0u, Mode(home.File()) & 07777);
}

TEST(ProfileFileSafety, AFileReadOnlyForItsOwnerStaysAsItWas)
{
    ConfigHome home;
    ASSERT_TRUE(ConnProfController().AddConnectProfile(Profile("precious")));
    GiveToNobody(home);
    fs::permissions(home.File(), fs::perms(0400));
    const std::string before = ReadFile(home.File());
    // As the owner, whom the mode binds, and as root, whom it does not.
    EXPECT_EQ(0, RunAsUnprivileged([] {
                  ConnProfController controller;
                  if (!controller.Init() || controller.GetProfileCount() != 1)
                      return 1;
                  if (controller.AddConnectProfile(Profile("new")) ||
                      controller.DeleteConnectProfile(0))
                      return 2;
                  return controller.GetProfileCount() == 1 ? 0 : 3;
              }));
    ConnProfController root;
    ASSERT_TRUE(root.Init());
    EXPECT_FALSE(root.AddConnectProfile(Profile("new")));
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ(S_IFREG | 0400u, Mode(home.File()));
    EXPECT_EQ(2u, home.FolderEntries().size()) << "the file and its lock file only";

    fs::permissions(home.File(), fs::perms(0600));
    Immutable locked(home.File());
    ASSERT_TRUE(locked.Holds()) << "chattr +i did not take";
    ASSERT_ANY_THROW(WriteFile(home.File(), "probe"));
    EXPECT_FALSE(root.AddConnectProfile(Profile("new")));
    EXPECT_FALSE(root.DeleteConnectProfile(0));
    EXPECT_EQ(before, ReadFile(home.File()));
}

TEST(ProfileFileSafety, ALinkIsFollowedAndKept)
{
    ConfigHome home;
    TempFolder elsewhere;
    const fs::path target = elsewhere / "profiles.dat";
    ASSERT_TRUE(ConnProfController().AddConnectProfile(Profile("first")));
    fs::rename(home.File(), target);
    fs::create_symlink(fs::relative(target, home.Folder()), home.File());

    ConnProfController controller;
    ASSERT_TRUE(controller.Init());
    ASSERT_TRUE(controller.AddConnectProfile(Profile("second")));
    EXPECT_TRUE(fs::is_symlink(home.File()));
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), NamesOnDisk());
    fs::remove(home.File());
    fs::copy_file(target, home.File());
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), NamesOnDisk())
        << "the target holds it";
    // No temporary file was left, neither beside the target nor beside the link.
    EXPECT_EQ(1, std::distance(fs::directory_iterator(elsewhere.Path()), fs::directory_iterator()));
    EXPECT_EQ(2u, home.FolderEntries().size()) << "the link and the lock file";
}

TEST(ProfileFileSafety, SomethingOtherThanAFileGetsAQuickAnswer)
{
    ConfigHome home;
    fs::create_directories(home.Folder());
    ASSERT_EQ(0, ::mkfifo(home.File().c_str(), 0600));
    const auto start = std::chrono::steady_clock::now();
    ConnProfController controller;
    EXPECT_FALSE(controller.Init());
    EXPECT_FALSE(controller.AddConnectProfile(Profile("new")));
    std::vector<ConnectProfileData> list;
    EXPECT_FALSE(ConnectProfile().LoadConnectProfiles(list));
    EXPECT_FALSE(ConnectProfile().SaveConnectProfiles({Profile("new")}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(S_ISFIFO(Mode(home.File())));

    fs::remove(home.File());
    fs::create_directory(home.File());
    EXPECT_FALSE(controller.AddConnectProfile(Profile("new")));
    EXPECT_TRUE(fs::is_directory(home.File()));
}

TEST(ProfileFileSafety, TheNextSaveRemovesWhatAnInterruptedSaveLeft)
{
    ConfigHome home;
    ASSERT_TRUE(ConnProfController().AddConnectProfile(Profile("first")));
    std::string leftover = ".";
    leftover += home.File().filename().string();
    leftover += ".aB3dE9";
    WriteFile(home.Folder() / leftover, "scrambled passwords");
    WriteFile(home.Folder() / (leftover + "x"), "not ours");
    ConnProfController controller;
    ASSERT_TRUE(controller.Init());
    ASSERT_TRUE(controller.AddConnectProfile(Profile("second")));
    EXPECT_FALSE(fs::exists(home.Folder() / leftover));
    EXPECT_TRUE(fs::exists(home.Folder() / (leftover + "x")));
}

TEST(ProfileFileSafety, AChangeAppliesToTheListAsTheFileHoldsItNow)
{
    ConfigHome home;
    ConnProfController desktop, other;
    ASSERT_TRUE(desktop.AddConnectProfile(Profile("a")));
    ASSERT_TRUE(desktop.AddConnectProfile(Profile("b")));
    ASSERT_TRUE(other.Init());
    EXPECT_FALSE(desktop.Refresh()) << "nothing changed yet";

    // Each writer adds to what the other wrote.
    ASSERT_TRUE(other.AddConnectProfile(Profile("c")));
    ASSERT_TRUE(desktop.AddConnectProfile(Profile("d")));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), Names(desktop));
    EXPECT_TRUE(other.Refresh());
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), Names(other));

    // Index 1 is still "b" to the desktop after the other deleted "a".
    ASSERT_TRUE(other.DeleteConnectProfile(0));
    ASSERT_TRUE(desktop.ModifyConnectProfile(Profile("B"), 1));
    EXPECT_EQ((std::vector<std::string>{"B", "c", "d"}), NamesOnDisk());
    ASSERT_TRUE(other.DeleteConnectProfile(2));
    EXPECT_FALSE(desktop.DeleteConnectProfile(2)) << "d is gone already; nothing else goes";
    EXPECT_EQ((std::vector<std::string>{"B", "c"}), Names(desktop));
    EXPECT_EQ((std::vector<std::string>{"B", "c"}), NamesOnDisk());
}

TEST(ProfileFileSafety, TheListNeverOutgrowsWhatTheFileGivesBack)
{
    ConfigHome home;
    ConnProfController controller;
    for (int i = 0; i < MAX_CONNECT_PROFILES; ++i) {
        std::string name = "p";
        name += std::to_string(i);
        ASSERT_TRUE(controller.AddConnectProfile(Profile(name)));
    }
    EXPECT_FALSE(controller.AddConnectProfile(Profile("one too many")));
    EXPECT_EQ(MAX_CONNECT_PROFILES, controller.GetProfileCount());
    EXPECT_EQ(std::size_t(MAX_CONNECT_PROFILES), NamesOnDisk().size());
}
