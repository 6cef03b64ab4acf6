#include "convert/working_folders.h"
#include "platform/file_lock.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

fs::path MakeFolder(const fs::path& folder, bool withImage)
{
    fs::create_directories(folder);
    if (withImage) {
        fs::create_directory(folder / "Talk");
        WriteFile(folder / "Talk" / "slide1.jpg", "jpeg");
    }
    return folder;
}

// Dates a folder back, as one left by a run long ago.
void MakeOld(const fs::path& folder)
{
    const struct timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(0, ::utimes(folder.c_str(), old));
}

} // namespace

TEST(WorkingFolders, OnlyTheFoldersOfRunsThatAreGoneAreSwept)
{
    TempFolder temp;
    const fs::path abandoned = MakeFolder(temp / ".Korvanta.temp12345", true);
    const fs::path abandonedEmpty = MakeFolder(temp / ".Korvanta.temp12346", false);
    MakeOld(abandonedEmpty);
    const fs::path busy = MakeFolder(temp / ".Korvanta.temp22222", true);
    MakeOld(busy);
    const fs::path starting = MakeFolder(temp / ".Korvanta.temp33333", false);
    const fs::path notOurs = MakeFolder(temp / ".Korvanta.temp1234", true);
    const fs::path target = MakeFolder(temp / "elsewhere", true);
    fs::create_directory_symlink(target, temp / ".Korvanta.temp44444");

    // A living run holds its folder's lock, even one that looks old.
    FileLock living;
    ASSERT_TRUE(living.LockFolder(busy, false));

    working_folders::SweepAbandoned(temp.Path());

    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_FALSE(fs::exists(abandonedEmpty));
    EXPECT_TRUE(fs::exists(busy / "Talk" / "slide1.jpg"));
    EXPECT_TRUE(fs::exists(starting)) << "a folder whose lock may still come was swept";
    EXPECT_TRUE(fs::exists(notOurs / "Talk" / "slide1.jpg"));
    EXPECT_TRUE(fs::exists(target / "Talk" / "slide1.jpg"));
    EXPECT_TRUE(fs::is_symlink(temp / ".Korvanta.temp44444"));

    living.Unlock();
    working_folders::SweepAbandoned(temp.Path());
    EXPECT_FALSE(fs::exists(busy));
}

TEST(WorkingFolders, AClaimedFolderIsNeverSweptAndGoesWithAnAbort)
{
    TempFolder temp;
    const fs::path mine = MakeFolder(temp / ".Korvanta.temp55555", true);
    MakeOld(mine);
    ASSERT_TRUE(working_folders::Claim(mine));
    working_folders::SweepAbandoned(temp.Path());
    EXPECT_TRUE(fs::exists(mine / "Talk" / "slide1.jpg"));

    working_folders::RemoveClaimed();
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_FALSE(working_folders::Claim(temp / ".Korvanta.temp00000"))
        << "claimed a missing folder";
}

TEST(WorkingFolders, AClaimWaitsOutAnotherRunsSweepOfItsFreshFolder)
{
    TempFolder temp;
    const fs::path fresh = MakeFolder(temp / ".Korvanta.temp66666", false);
    // Another run's sweep holds the new folder's lock for a moment.
    FileLock sweeping;
    ASSERT_TRUE(sweeping.LockFolder(fresh, false));
    std::thread sweep([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sweeping.Unlock();
    });
    EXPECT_TRUE(working_folders::Claim(fresh));
    sweep.join();
    EXPECT_TRUE(fs::exists(fresh));
    working_folders::Release(fresh);
}
