#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "delivery/ftp_upload.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/ftp_server.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <atomic>

namespace fs = std::filesystem;

namespace {

// The slides of a deck, exported by our office into
// <work>/SampleShow/, then uploaded to a real FTP server.
class FtpConversionUpload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(work / kName);
        const PptToJpegData data{TestDeck("widescreen.pptx").string(), (work / kName).string(),
                                 1280, 800};
        std::atomic<int> cancel{0};
        ASSERT_EQ(RESULT_SUCCESS, fnjgConvetPptToJpeg(&data, &cancel));
        ASSERT_EQ(2, std::distance(fs::directory_iterator(work / kName), {}));
    }

    SendingData Request(const std::string& url) const
    {
        SendingData request;
        request.srcFolder = work.Path().string();
        request.destination = url;
        request.folderName = kName;
        return request;
    }

    void ExpectImagesIn(const fs::path& folder) const
    {
        const auto sent = TreeContents(work / kName);
        EXPECT_EQ(sent, TreeContents(folder / kName));
        for (const auto& [name, bytes] : sent) {
            const JpegSize size = ReadJpegSize(folder / kName / name);
            EXPECT_TRUE(size.valid) << name;
            EXPECT_EQ(1280, size.width) << name;
            EXPECT_EQ(800, size.height) << name;
        }
    }

    static constexpr const char* kName = "SampleShow";
    FtpTestServer server;
    TempFolder work;
};

} // namespace

TEST_F(FtpConversionUpload, AnonymousIntoTheRootFolder)
{
    const SendingData request = Request(server.Url("/"));
    ASSERT_EQ(RESULT_SUCCESS, actSendingFTP(&request));
    ExpectImagesIn(server.AnonymousRoot());
}

TEST_F(FtpConversionUpload, WithTheProfilesCredentialsIntoANestedFolder)
{
    fs::create_directories(server.UserRoot() / "decks/2024");
    SendingData request = Request(server.Url("/decks/2024/"));
    request.authentication = true;
    request.id = FtpTestServer::User();
    request.password = FtpTestServer::Password();
    ASSERT_EQ(RESULT_SUCCESS, actSendingFTP(&request));
    ExpectImagesIn(server.UserRoot() / "decks/2024");
    EXPECT_FALSE(fs::exists(server.AnonymousRoot() / kName));
}
