#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/smb_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace fs = std::filesystem;

namespace {

const std::string kName = "SampleShow";

// Slides of a deck, exported once by our office, delivered to a real
// Samba share.
class SmbOfficeUpload : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        try {
            server = std::make_unique<SmbTestServer>();
        } catch (const std::exception& e) {
            startError = e.what();
            return;
        }
        work = std::make_unique<TempFolder>();
        fs::create_directory(work->Path() / kName);
        const PptToJpegData data{TestDeck("widescreen.pptx").string(),
                                 (work->Path() / kName).string(), 1280, 800};
        std::atomic<int> cancel{0};
        exportResult = fnjgConvetPptToJpeg(&data, &cancel);
    }
    static void TearDownTestSuite()
    {
        server.reset();
        work.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(server) << startError;
        ASSERT_EQ(RESULT_SUCCESS, exportResult);
        ASSERT_EQ(2u, TreeContents(work->Path() / kName).size());
    }

    static SendingData Request(const std::string& destination, bool authentication)
    {
        SendingData request;
        request.srcFolder = work->Path().string();
        request.folderName = kName;
        request.destination = destination;
        request.authentication = authentication;
        request.id = authentication ? SmbTestServer::User() : "";
        request.password = authentication ? SmbTestServer::Password() : "";
        return request;
    }

    // The delivered folder holds the exported images, byte for byte.
    static void ExpectDelivered(const fs::path& folder)
    {
        const auto images = TreeContents(work->Path() / kName);
        EXPECT_EQ(images, TreeContents(folder));
        for (const auto& [name, bytes] : images) {
            const JpegSize size = ReadJpegSize(folder / name);
            EXPECT_TRUE(size.valid) << name;
            EXPECT_EQ(1280, size.width) << name;
            EXPECT_EQ(800, size.height) << name;
        }
    }

    static inline std::unique_ptr<SmbTestServer> server;
    static inline std::unique_ptr<TempFolder> work;
    static inline std::string startError;
    static inline int exportResult = -1;
};

TEST_F(SmbOfficeUpload, SlidesReachAPrivateShareWithTheUsersCredentials)
{
    const SendingData request = Request(server->Unc("private\\decks\\2024\\"), true);
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteSending(&request)) << server->Log();
    ExpectDelivered(server->Share("private") / "decks/2024" / kName);
}

TEST_F(SmbOfficeUpload, SlidesReachAGuestShare)
{
    const SendingData request = Request(server->Url("guest/decks/"), false);
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteSending(&request)) << server->Log();
    ExpectDelivered(server->Share("guest") / "decks" / kName);
}

} // namespace
