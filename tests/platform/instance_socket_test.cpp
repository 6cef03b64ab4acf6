#include "platform/instance_socket.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A temporary-files folder and a runtime folder candidate, in a tree that
// the unprivileged user may enter.
class SocketFolders : public testing::Test
{
protected:
    SocketFolders()
    {
        ::chmod(root_.Path().c_str(), 0755);
        fs::create_directory(tmp);
        ::chmod(tmp.c_str(), 01777);
        fs::create_directory(run);
        ::chmod(run.c_str(), 0700);
    }

    // The folder a start finds with these variables; an empty runtime value
    // leaves XDG_RUNTIME_DIR unset. Empty when the child failed.
    fs::path FolderFound(const std::string& runtime) const
    {
        const fs::path answer = root_ / "answer";
        const int status = RunInChild([&] {
            ::setenv("TMPDIR", tmp.c_str(), 1);
            if (runtime.empty())
                ::unsetenv("XDG_RUNTIME_DIR");
            else
                ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            WriteFile(answer, platform::InstanceSocketFolder().string());
            return 0;
        });
        return status == 0 ? fs::path(ReadFile(answer)) : fs::path();
    }

    fs::path OurTempFolder(const std::string& suffix = "") const
    {
        return tmp / ("korvanta-" + std::to_string(::geteuid()) + suffix);
    }

    TempFolder root_;
    const fs::path tmp = root_ / "tmp";
    const fs::path run = root_ / "run";
};

} // namespace

TEST_F(SocketFolders, ThePrivateRuntimeFolderOfOursIsTaken)
{
    EXPECT_EQ(run, FolderFound(run.string()));
    EXPECT_FALSE(fs::exists(OurTempFolder())) << "nothing made in the temporary-files folder";
}

TEST_F(SocketFolders, ARuntimeFolderThatIsNotPrivateAndOursIsPassedOver)
{
    const fs::path open = root_ / "open";
    fs::create_directory(open);
    ::chmod(open.c_str(), 0755);
    const fs::path link = root_ / "link";
    fs::create_directory_symlink(run, link);
    const fs::path theirs = root_ / "theirs";
    fs::create_directory(theirs);
    ::chmod(theirs.c_str(), 0700);
    ASSERT_EQ(0, ::chown(theirs.c_str(), UnprivilegedUid(), UnprivilegedGid()));

    for (const std::string& runtime :
         {open.string(), link.string(), theirs.string(), std::string("run"), std::string()}) {
        EXPECT_EQ(OurTempFolder(), FolderFound(runtime)) << "XDG_RUNTIME_DIR=" << runtime;
    }
    EXPECT_TRUE(platform::IsPrivateFolder(OurTempFolder()));
}

TEST_F(SocketFolders, NamesAnotherUserTookArePassedOverAlikeByEveryStart)
{
    const fs::path mine = root_ / "mine";
    fs::create_directory(mine);
    ::chmod(mine.c_str(), 0700);
    // Their folder, their link to a private folder of ours, their file; all
    // under our names, which the child, being them, cannot work out itself.
    const fs::path folder = OurTempFolder();
    const fs::path link = OurTempFolder("-2");
    const fs::path file = OurTempFolder("-3");
    ASSERT_EQ(0, RunAsUnprivileged([&] {
                  const bool squatted = ::mkdir(folder.c_str(), 0700) == 0 &&
                                        ::symlink(mine.c_str(), link.c_str()) == 0;
                  WriteFile(file, "");
                  return squatted && fs::exists(file) ? 0 : 1;
              }));
    struct stat theirs
    {};
    ASSERT_EQ(0, ::stat(folder.c_str(), &theirs));
    ASSERT_EQ(UnprivilegedUid(), theirs.st_uid);

    EXPECT_EQ(OurTempFolder("-4"), FolderFound(""));
    EXPECT_EQ(OurTempFolder("-4"), FolderFound("")) << "a second start meets the first";
    EXPECT_TRUE(platform::IsPrivateFolder(OurTempFolder("-4")));
}
