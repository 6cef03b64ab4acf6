#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "tests/delivery/ftp_test_log.h"
#include "tests/delivery/publish_destinations.h"
#include "tests/support/child_process.h"
#include "tests/support/ftp_server.h"
#include "tests/support/run_program.h"
#include "tests/support/smb_server.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Images = std::map<std::string, std::string>;

namespace {

// A tmpfs of its own, a megabyte small, mounted for one test.
class SmallDisk
{
public:
    SmallDisk()
    {
        mounted_ = RunProgram({"/bin/mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs",
                               folder_.Path().string()})
                       .status == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            RunProgram({"/bin/umount", folder_.Path().string()});
    }
    bool Mounted() const { return mounted_; }
    const fs::path& Path() const { return folder_.Path(); }

private:
    TempFolder folder_;
    bool mounted_ = false;
};

SendingData Request(const fs::path& work, const std::string& destination, const std::string& name)
{
    SendingData request;
    request.srcFolder = work.string();
    request.destination = destination;
    request.folderName = name;
    return request;
}

// Publishes the deck `name` of work three times through publish: 3 slides,
// then failingCount slides, which must fail, then 4 slides. The failure must
// leave the first set as it was with stagedLeft staging folders beside it,
// and the third publish the exact new set with nothing staged.
void ExpectAFailedRepublishToKeepTheOldSet(const std::function<int()>& publish,
                                           const fs::path& work, const std::string& name,
                                           int failingCount, int stagedLeft,
                                           const fs::path& published)
{
    WriteDeck(work, name, 3, 100 * 1024, 1);
    ASSERT_EQ(RESULT_SUCCESS, publish());
    const Images before = SlideImages(published);

    WriteDeck(work, name, failingCount, 100 * 1024, 2);
    EXPECT_EQ(RESULT_DELIVERY_FAILED, publish());
    EXPECT_EQ(before, SlideImages(published));
    EXPECT_EQ(stagedLeft, StagingFolders(published));

    WriteDeck(work, name, 4, 100 * 1024, 3);
    ASSERT_EQ(RESULT_SUCCESS, publish());
    EXPECT_EQ(SlideImages(work / name), SlideImages(published));
    EXPECT_EQ(0, StagingFolders(published));
}

} // namespace

TEST(PublishFailure, AFullDiskLeavesTheOldSetAndTheNextPublishSucceeds)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    SmallDisk disk;
    ASSERT_TRUE(disk.Mounted());
    TempFolder work;
    const SendingData request = Request(work.Path(), disk.Path().string(), "Talk");
    // A first publish that does not fit leaves no folder behind.
    WriteDeck(work.Path(), "Talk", 12, 100 * 1024, 2);
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request));
    EXPECT_FALSE(fs::exists(disk.Path() / "Talk"));

    ExpectAFailedRepublishToKeepTheOldSet([&] { return fnsdExecuteCopying(&request); }, work.Path(),
                                          "Talk", 12, 0, disk.Path() / "Talk");
}

TEST(PublishFailure, AConnectionDroppedAtTheSeventhFileLeavesTheOldSet)
{
    FtpTestServer server;
    TempFolder work;
    // The server drops the seventh upload of a connection below "drop7".
    const SendingData request = Request(work.Path(), server.Url("/"), "drop7");
    // The connection is gone, so what it staged waits for the next publish.
    ExpectAFailedRepublishToKeepTheOldSet([&] { return fnsdExecuteSending(&request); }, work.Path(),
                                          "drop7", 23, 1, server.AnonymousRoot() / "drop7");
}

TEST(PublishFailure, AShareThatRefusesAFileLeavesTheOldSet)
{
    SmbTestServer server;
    TempFolder work;
    // The share takes no file named slide07.jpg.
    const SendingData request = Request(work.Path(), server.Url("veto"), "Talk");
    ExpectAFailedRepublishToKeepTheOldSet([&] { return fnsdExecuteSending(&request); }, work.Path(),
                                          "Talk", 12, 0, server.Share("veto") / "Talk");
}

TEST(PublishFailure, AServerThatRefusesRenamesStillGetsAnExactPublish)
{
    FtpTestServer server;
    TempFolder work;
    const LogCapture log;
    const SendingData request = Request(work.Path(), server.Url("/norename"), "Talk");
    const fs::path published = server.AnonymousRoot() / "norename/Talk";
    for (const int count : {12, 3}) {
        WriteDeck(work.Path(), "Talk", count, 20 * 1024, static_cast<unsigned>(count));
        ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteSending(&request));
        EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(published));
        EXPECT_EQ(0, StagingFolders(published));
    }
    EXPECT_EQ(std::vector<std::string>(
                  2, " The destination refuses renames: the images are written in place."),
              log.Infos("PublishFolder"));
}

TEST(PublishFailure, AnEntryThatCannotBeListedFailsThePublish)
{
    FtpTestServer server;
    TempFolder work;
    WriteDeck(work.Path(), "Talk", 3, 1000, 1);
    fs::create_directory(work / "Talk/locked");
    WriteFile(work / "Talk/locked/slide4.jpg", "hidden from the walk");
    fs::permissions(work / "Talk/locked", fs::perms::none);
    fs::permissions(work.Path(), fs::perms::all);
    fs::permissions(work / "Talk", fs::perms::all);
    const SendingData request = Request(work.Path(), server.Url("/"), "Talk");
    // As root every folder can be listed.
    EXPECT_EQ(RESULT_DELIVERY_FAILED,
              RunAsUnprivileged([&] { return fnsdExecuteSending(&request); }));
    EXPECT_FALSE(fs::exists(server.AnonymousRoot() / "Talk"));
}

TEST(PublishFailure, TwoRunsPublishingOneLocalFolderTakeTurns)
{
    TempFolder first;
    TempFolder second;
    TempFolder destination;
    WriteDeck(first.Path(), "Talk", 40, 30 * 1024, 1);
    WriteDeck(second.Path(), "Talk", 9, 30 * 1024, 2);
    for (int round = 0; round < 5; ++round) {
        int results[2] = {-1, -1};
        std::thread a([&] {
            const SendingData request = Request(first.Path(), destination.Path().string(), "Talk");
            results[0] = fnsdExecuteCopying(&request);
        });
        const SendingData request = Request(second.Path(), destination.Path().string(), "Talk");
        results[1] = fnsdExecuteCopying(&request);
        a.join();
        EXPECT_EQ(RESULT_SUCCESS, results[0]);
        EXPECT_EQ(RESULT_SUCCESS, results[1]);
        const Images published = SlideImages(destination / "Talk");
        EXPECT_TRUE(published == SlideImages(first / "Talk") ||
                    published == SlideImages(second / "Talk"))
            << published.size() << " images, a mix of both runs";
        EXPECT_EQ(0, StagingFolders(destination / "Talk"));
    }
}
