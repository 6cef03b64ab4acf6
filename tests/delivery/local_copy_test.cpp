#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "delivery/destination_type.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

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

TEST_F(LocalCopy, AnEmptyFolderNameSpillsNothing)
{
    SendingData request = Request(target.Path().string());
    request.folderName.clear();
    EXPECT_EQ(RESULT_DELIVERY_FAILED, fnsdExecuteCopying(&request));
    EXPECT_TRUE(fs::is_empty(target.Path()));
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
