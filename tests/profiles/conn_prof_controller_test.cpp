#include "log/debug_log.h"
#include "profiles/conn_prof_controller.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

ConnectProfileData Profile(const std::string& name)
{
    return {name, "ftp://" + name + "/", true, "id-" + name, "pw-" + name};
}

// Adds profiles p0, p1, ... to the file; returns the count the controller then had.
int Seed(int count)
{
    ConnProfController controller;
    for (int i = 0; i < count; ++i) {
        // Named, not a temporary: GCC 12 reports a false -Wrestrict for
        // "text" + std::string&& (GCC bug 105329).
        const std::string number = std::to_string(i);
        EXPECT_TRUE(controller.AddConnectProfile(Profile("p" + number)));
    }
    return controller.GetProfileCount();
}

std::vector<std::string> NamesAfterRestart()
{
    ConnProfController controller;
    EXPECT_TRUE(controller.Init());
    std::vector<std::string> names;
    controller.GetProfileNameList(names);
    return names;
}

} // namespace

TEST(ConnProfController, ChangesReachMemoryAndFileAlike)
{
    ConfigHome home;
    Seed(3);
    ConnProfController controller;
    ASSERT_TRUE(controller.Init());
    ASSERT_TRUE(controller.DeleteConnectProfile(0));
    ASSERT_TRUE(controller.ModifyConnectProfile(Profile("new"), 1));
    std::vector<std::string> names = {"before"};
    controller.GetProfileNameList(names);
    EXPECT_EQ((std::vector<std::string>{"before", "p1", "new"}), names);
    EXPECT_EQ((std::vector<std::string>{"p1", "new"}), NamesAfterRestart());

    ConnectProfileData read;
    ASSERT_TRUE(controller.GetConnectProfile(1, read));
    EXPECT_EQ(Profile("new"), read);
    std::string name;
    ASSERT_TRUE(controller.GetProfileDispName(0, name));
    EXPECT_EQ("p1", name);

    ASSERT_TRUE(controller.DeleteConnectProfile(1));
    ASSERT_TRUE(controller.DeleteConnectProfile(0));
    EXPECT_EQ(0, controller.GetProfileCount());
    EXPECT_LE(fs::file_size(home.File()), 16u);
    EXPECT_TRUE(NamesAfterRestart().empty());
}

TEST(ConnProfController, IndicesOutsideTheListChangeNothing)
{
    ConfigHome home;
    Seed(5);
    const std::string before = ReadFile(home.File());
    const fs::path log = home.Root() / "Korvanta.log";
    EXPECT_EQ(0, RunInChild([&] {
                  LogInit(3, log.string());
                  ConnProfController controller;
                  controller.Init();
                  ConnectProfileData profile = Profile("out");
                  std::string name = "out";
                  int accepted = 0;
                  for (int index : {5, -1}) {
                      accepted += controller.ModifyConnectProfile(Profile("x"), index);
                      accepted += controller.DeleteConnectProfile(index);
                      accepted += controller.GetConnectProfile(index, profile);
                      accepted += controller.GetProfileDispName(index, name);
                  }
                  const bool untouched = profile == Profile("out") && name == "out";
                  return accepted == 0 && untouched && controller.GetProfileCount() == 5 ? 0 : 1;
              }));
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_NE(std::string::npos,
              ReadFile(log).find(
                  R"("ConnProfController::ModifyConnectProfile","[Error]","Invalid parameter.")"));
}

TEST(ConnProfController, AddThatCannotBeSavedLeavesTheListAlone)
{
    ConfigHome home;
    Seed(2);
    const std::string before = ReadFile(home.File());
    // Readable by everyone but writable by root alone.
    fs::permissions(home.Root(), fs::perms(0755));
    fs::permissions(home.Folder(), fs::perms(0755));
    fs::permissions(home.File(), fs::perms(0644));
    EXPECT_EQ(0, RunAsUnprivileged([] {
                  ConnProfController controller;
                  if (!controller.Init() || controller.GetProfileCount() != 2)
                      return 1;
                  return !controller.AddConnectProfile(Profile("p2")) &&
                                 controller.GetProfileCount() == 2
                             ? 0
                             : 2;
              }));
    EXPECT_EQ(before, ReadFile(home.File()));

    ConnProfController controller;
    ASSERT_TRUE(controller.Init());
    Immutable locked(home.File());
    if (!locked.Holds())
        GTEST_SKIP() << "the filesystem here has no immutable attribute";
    EXPECT_FALSE(controller.AddConnectProfile(Profile("p2")));
    EXPECT_EQ(2, controller.GetProfileCount());
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ(2u, home.FolderEntries().size()) << "the file and its lock file only";
}
