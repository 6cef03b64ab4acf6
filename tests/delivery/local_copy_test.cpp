#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "delivery/destination_type.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A working folder holding the image folder "Talk" with two images and a
// nested folder.
class LocalCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(work / "Talk/nested");
        WriteFile(work / "Talk/slide1.jpg", "one");
        WriteFile(work / "Talk/slide2.jpg", "two");
        WriteFile(work / "Talk/nested/deep.jpg", "deep");
    }

    SendingData Request(const std::string& destination) const
    {
        SendingData request;
        request.srcFolder = work.Path().string();
        request.destination = destination;
        request.folderName = "Talk";
        return request;
    }

    TempFolder work;
    TempFolder target;
};

} // namespace

TEST_F(LocalCopy, ArrivesAsAFolderNamedAfterThePresentation)
{
    const SendingData request = Request(target.Path().string());
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request));
    EXPECT_EQ("one", ReadFile(target / "Talk/slide1.jpg"));
    EXPECT_EQ("two", ReadFile(target / "Talk/slide2.jpg"));
    EXPECT_EQ("deep", ReadFile(target / "Talk/nested/deep.jpg"));
    // Nothing is taken from the working folder.
    EXPECT_TRUE(fs::exists(work / "Talk/slide1.jpg"));
}

TEST_F(LocalCopy, CreatesAMissingDestinationAndReplacesSameNamedFiles)
{
    const fs::path missing = target / "a/b/c";
    SendingData request = Request(missing.string());
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request));
    EXPECT_EQ("one", ReadFile(missing / "Talk/slide1.jpg"));

    WriteFile(missing / "Talk/slide1.jpg", "stale");
    WriteFile(missing / "Talk/kept.txt", "other");
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request));
    EXPECT_EQ("one", ReadFile(missing / "Talk/slide1.jpg"));
    EXPECT_EQ("other", ReadFile(missing / "Talk/kept.txt"));
}

TEST_F(LocalCopy, TrailingSeparatorsGiveNoDoubledSeparator)
{
    SendingData request = Request(target.Path().string() + "/");
    request.srcFolder += "/";
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request));
    EXPECT_EQ("two", ReadFile(target / "Talk/slide2.jpg"));
    EXPECT_EQ(work.Path().string() + "/Talk", JoinPath(work.Path().string() + "/", "Talk"));
}

TEST_F(LocalCopy, RefusedPathsFailWithTwentyThree)
{
    // A name longer than any the file system takes.
    SendingData overlong = Request((target / std::string(300, 'x')).string());
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&overlong));

    // A destination below a regular file holds even for root.
    WriteFile(target / "file", "x");
    SendingData belowFile = Request((target / "file/sub").string());
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&belowFile));
    EXPECT_EQ("x", ReadFile(target / "file"));

    SendingData noImages = Request(target.Path().string());
    noImages.folderName = "Missing";
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&noImages));
}

TEST_F(LocalCopy, AFolderNameThatIsNoPlainNameSpillsNothing)
{
    // ".." would copy the whole parent of the working folder, "." the
    // working folder loose into the destination.
    fs::create_directories(work / "a/b");
    WriteFile(work / "a/b/slide1.jpg", "one");
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "../Talk"}) {
        SendingData request = Request((target / "dest").string());
        request.folderName = name;
        EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request)) << name;
        EXPECT_TRUE(fs::is_empty(target.Path())) << name;
    }
}

TEST_F(LocalCopy, NothingOutsideTheImageFolderIsReadOrWritten)
{
    TempFolder outside;
    WriteFile(outside / "secret", "not an image");
    fs::create_symlink(outside / "secret", work / "Talk/slide3.jpg");
    SendingData request = Request(target.Path().string());
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request));
    EXPECT_FALSE(fs::exists(target / "Talk/slide3.jpg"));

    // A FIFO in the tree is refused, not waited on.
    fs::remove(work / "Talk/slide3.jpg");
    ASSERT_EQ(0, ::mkfifo((work / "Talk/slide3.jpg").c_str(), 0600));
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request));
    fs::remove(work / "Talk/slide3.jpg");

    // Links waiting in the destination are replaced, not written through.
    fs::remove_all(target / "Talk");
    fs::create_directory(target / "Talk");
    fs::create_symlink(outside / "secret", target / "Talk/slide1.jpg");
    EXPECT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request));
    EXPECT_FALSE(fs::is_symlink(target / "Talk/slide1.jpg"));
    EXPECT_EQ(ReadFile(work / "Talk/slide1.jpg"), ReadFile(target / "Talk/slide1.jpg"));
    fs::remove_all(target / "Talk");
    fs::create_directory_symlink(outside.Path(), target / "Talk");
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request));
    EXPECT_EQ(std::vector<fs::path>{outside / "secret"},
              std::vector<fs::path>(fs::directory_iterator(outside.Path()), {}));
    EXPECT_EQ("not an image", ReadFile(outside / "secret"));
}

TEST_F(LocalCopy, ALocalFolderNamedLikeAShareStaysLocal)
{
    const fs::path before = fs::current_path();
    fs::current_path(target.Path());
    for (const char* destination : {"smb://nas/slides", "\\\\nas\\slides"}) {
        const SendingData request = Request(destination);
        EXPECT_EQ(RESULT_SUCCESS, fnsdExecuteCopying(&request)) << destination;
        EXPECT_EQ("two", ReadFile(target / destination / "Talk/slide2.jpg")) << destination;
    }
    fs::current_path(before);
}

TEST(Delivery, NullRequestsGiveTwenty)
{
    EXPECT_EQ(RESULT_NO_DELIVERY_REQUEST, fnsdExecuteCopying(nullptr));
    EXPECT_EQ(RESULT_NO_DELIVERY_REQUEST, fnsdExecuteSending(nullptr));
}

TEST(Delivery, DestinationKinds)
{
    EXPECT_EQ(DEST_TYPE_FTP, actCheckType("ftp://host/dir"));
    EXPECT_EQ(DEST_TYPE_FTP, actCheckType("FTP://HOST"));
    EXPECT_EQ(DEST_TYPE_FTP, actCheckType("fTp://"));
    EXPECT_EQ(DEST_TYPE_SMB, actCheckType("\\\\server\\share"));
    EXPECT_EQ(DEST_TYPE_SMB, actCheckType("smb://server/share"));
    EXPECT_EQ(DEST_TYPE_SMB, actCheckType("SMB://server/share"));
    EXPECT_EQ(DEST_TYPE_UNKNOWN, actCheckType("ftp:/"));
    EXPECT_EQ(DEST_TYPE_UNKNOWN, actCheckType("//server/share"));
    EXPECT_EQ(DEST_TYPE_UNKNOWN, actCheckType("C:\\images"));
    EXPECT_EQ(DEST_TYPE_UNKNOWN, actCheckType("\\server"));
    EXPECT_EQ(DEST_TYPE_UNKNOWN, actCheckType(""));
}

TEST(Delivery, UnknownKindsAreNotSent)
{
    TempFolder work;
    SendingData request;
    request.srcFolder = work.Path().string();
    request.destination = "/local/folder";
    request.folderName = "Talk";
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteSending(&request));
}
