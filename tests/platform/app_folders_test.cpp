#include "platform/app_folders.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

TEST(AppFolders, FollowTheXdgVariablesAndFallBackToHome)
{
    TempFolder folder;
    EXPECT_EQ(0, RunInChild([&] {
                  ::setenv("HOME", "/home/ada", 1);
                  ::setenv("XDG_CONFIG_HOME", (folder / "cfg").c_str(), 1);
                  ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
                  if (platform::AppDataFolder() != folder / "cfg/korvanta")
                      return 1;
                  if (platform::AppCacheFolder() != folder / "cache/korvanta")
                      return 2;
                  ::unsetenv("XDG_CONFIG_HOME");
                  // A relative value is not a base folder.
                  ::setenv("XDG_CACHE_HOME", "relative/cache", 1);
                  if (platform::AppDataFolder() != "/home/ada/.config/korvanta")
                      return 3;
                  if (platform::AppCacheFolder() != "/home/ada/.cache/korvanta")
                      return 4;
                  return 0;
              }));
}

TEST(AppFolders, EnsureCreatesThePrivateFolderOnce)
{
    TempFolder folder;
    EXPECT_EQ(0, RunInChild([&] {
                  ::setenv("XDG_CONFIG_HOME", (folder / "deep/cfg").c_str(), 1);
                  if (!platform::EnsureAppDataFolder() || !platform::EnsureAppDataFolder())
                      return 1;
                  return 0;
              }));
    const fs::path created = folder / "deep/cfg/korvanta";
    ASSERT_TRUE(fs::is_directory(created));
    EXPECT_EQ(fs::perms::owner_all, fs::status(created).permissions() & fs::perms::all);
}

TEST(AppFolders, EnsureFailsBelowARegularFile)
{
    TempFolder folder;
    WriteFile(folder / "file", "x");
    EXPECT_EQ(0, RunInChild([&] {
                  ::setenv("XDG_CONFIG_HOME", (folder / "file/cfg").c_str(), 1);
                  return platform::EnsureAppDataFolder() ? 1 : 0;
              }));
}

TEST(AppFolders, TempAndExecutablePaths)
{
    TempFolder folder;
    EXPECT_EQ(0, RunInChild([&] {
                  ::setenv("TMPDIR", folder.Path().c_str(), 1);
                  return platform::TempFilesFolder() == folder.Path() ? 0 : 1;
              }));
    const fs::path exe = platform::ExecutablePath();
    EXPECT_TRUE(exe.is_absolute());
    EXPECT_EQ("test_platform", exe.filename());
}

TEST(AppFolders, DataFolderFollowsTheVariableThenTheProgramsPrefix)
{
    const fs::path prefixData =
        platform::ExecutablePath().parent_path().parent_path() / "share/korvanta";
    ASSERT_FALSE(fs::exists(prefixData)) << "left over from an earlier run: " << prefixData;
    EXPECT_EQ(0, RunInChild([&] {
                  ::unsetenv("KORVANTA_DATA_DIR");
                  if (platform::DataFolder() != fs::path(KORVANTA_DATA_DIR))
                      return 1;
                  fs::create_directories(prefixData);
                  const bool beside = platform::DataFolder() == prefixData;
                  ::setenv("KORVANTA_DATA_DIR", "/opt/help-data", 1);
                  const bool variable = platform::DataFolder() == "/opt/help-data";
                  fs::remove_all(prefixData.parent_path());
                  return beside && variable ? 0 : 2;
              }));
    EXPECT_FALSE(fs::exists(prefixData));
}
