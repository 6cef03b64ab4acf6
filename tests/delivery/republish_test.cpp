#include "convert/result_codes.h"
#include "tests/delivery/ftp_test_log.h"
#include "tests/delivery/publish_destinations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using Images = std::map<std::string, std::string>;

namespace {

class Republish : public ::testing::TestWithParam<DestinationKind>
{
protected:
    void SetUp() override { destination = MakeDestination(GetParam()); }

    // Publishes work/Talk and checks that the folder holds exactly its
    // images, the user's files, and nothing staged.
    void PublishExactly(int count, std::size_t size, unsigned seed)
    {
        SCOPED_TRACE(std::to_string(count) + " slides");
        WriteDeck(work.Path(), "Talk", count, size, seed);
        ASSERT_EQ(RESULT_SUCCESS, destination->Publish(work.Path(), "Talk"));
        EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(Published()));
        EXPECT_EQ(0, StagingFolders(Published()));
    }

    fs::path Published() const { return destination->Folder("Talk"); }

    TempFolder work;
    std::unique_ptr<PublishDestination> destination;
};

std::string ParamName(const ::testing::TestParamInfo<DestinationKind>& info)
{
    return KindName(info.param);
}

} // namespace

TEST_P(Republish, TheFolderHoldsExactlyTheNewSlidesAndTheUsersOwnFiles)
{
    PublishExactly(23, 3000, 1);
    WriteFile(Published() / "notes.txt", "the user's notes");
    fs::create_directories(Published() / "playlist");
    WriteFile(Published() / "playlist/slide1.jpg", "not one of ours");
    WriteFile(Published() / "slide.jpg", "no number: not ours");
    PublishExactly(2, 2000, 50);  // fewer slides, other padding
    PublishExactly(12, 1000, 70); // more slides, padding again
    PublishExactly(12, 1500, 90); // the same names, new images
    EXPECT_EQ("the user's notes", ReadFile(Published() / "notes.txt"));
    EXPECT_EQ("not one of ours", ReadFile(Published() / "playlist/slide1.jpg"));
    EXPECT_EQ("no number: not ours", ReadFile(Published() / "slide.jpg"));
}

TEST_P(Republish, EachImageThatArrivesIsCounted)
{
    WriteDeck(work.Path(), "Talk", 12, 1000, 1);
    SendingData request = destination->Request(work.Path(), "Talk");
    std::vector<std::pair<int, int>> counted;
    request.progress = [&](int delivered, int count) { counted.emplace_back(delivered, count); };
    ASSERT_EQ(RESULT_SUCCESS, destination->Publish(request));
    ASSERT_EQ(12u, counted.size());
    for (int image = 1; image <= 12; ++image)
        EXPECT_EQ(std::make_pair(image, 12), counted[static_cast<std::size_t>(image - 1)]);
}

TEST_P(Republish, AReaderNeverSeesAHalfWrittenImage)
{
    PublishExactly(8, 150 * 1024, 1);
    std::atomic<bool> publishing{true};
    std::atomic<int> read{0};
    std::atomic<int> broken{0};
    std::thread reader([&] {
        while (publishing) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(Published(), error)) {
                if (!entry.path().filename().string().starts_with("slide"))
                    continue;
                // Gone between the listing and the open: a stale image.
                std::ifstream in(entry.path(), std::ios::binary);
                if (!in)
                    continue;
                const std::string bytes{std::istreambuf_iterator<char>(in), {}};
                ++read;
                broken += !IsWholeJpeg(bytes);
            }
        }
    });
    // Alternating sets of other counts and paddings, until the reader has
    // read a good many images during them.
    for (int round = 0; round < 6 || (read < 50 && round < 400); ++round) {
        const bool longer = round % 2 == 0;
        WriteDeck(work.Path(), "Talk", longer ? 12 : 8, longer ? 90 * 1024 : 150 * 1024,
                  static_cast<unsigned>(round * 100));
        ASSERT_EQ(RESULT_SUCCESS, destination->Publish(work.Path(), "Talk"));
    }
    publishing = false;
    reader.join();
    EXPECT_EQ(0, broken.load());
    EXPECT_GE(read.load(), 50);
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(Published()));
}

TEST_P(Republish, AKilledPublishLeavesTheOldSetAndTheNextClearsWhatItStaged)
{
    PublishExactly(3, 2000, 1);
    const Images before = SlideImages(Published());
    // Long enough to be killed in the middle.
    WriteDeck(work.Path(), "Talk", 300, 200 * 1024, 7);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(120);
        ::_exit(destination->Publish(work.Path(), "Talk"));
    }
    const auto staged = [&] {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(Published(), error)) {
            if (entry.path().filename().string().starts_with(".korvanta-staging-") &&
                std::distance(fs::directory_iterator(entry.path(), error),
                              fs::directory_iterator()) >= 3)
                return true;
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!staged() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the publish ended before it could be killed";
    EXPECT_EQ(before, SlideImages(Published()));
    EXPECT_EQ(1, StagingFolders(Published()));

    PublishExactly(4, 2000, 9);
}

TEST(RepublishOnVsftpd, AFolderNamedLikeAPatternIsListedAsItself)
{
    // FTP servers may take the argument of a listing for a pattern; the
    // folder is listed from inside.
    const auto destination = MakeDestination(DestinationKind::Vsftpd);
    TempFolder work;
    fs::create_directories(destination->Folder("Talk2"));
    WriteFile(destination->Folder("Talk2") / "slide9.jpg", "another deck's");
    for (const int count : {5, 2}) {
        WriteDeck(work.Path(), "Talk*", count, 1000, static_cast<unsigned>(count));
        ASSERT_EQ(RESULT_SUCCESS, destination->Publish(work.Path(), "Talk*"));
        EXPECT_EQ(SlideImages(work / "Talk*"), SlideImages(destination->Folder("Talk*")));
    }
    EXPECT_EQ("another deck's", ReadFile(destination->Folder("Talk2") / "slide9.jpg"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Republish,
                         ::testing::Values(DestinationKind::Local, DestinationKind::Pyftpdlib,
                                           DestinationKind::Vsftpd, DestinationKind::Share,
                                           DestinationKind::ExplicitTls,
                                           DestinationKind::ImplicitTls, DestinationKind::Sftp),
                         ParamName);

