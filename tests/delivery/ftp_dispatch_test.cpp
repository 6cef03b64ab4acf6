#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "tests/delivery/ftp_test_log.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/ftp_server.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(FtpDispatch, FtpUrlsInAnyCaseGoToTheFtpUpload)
{
    FtpTestServer server;
    TempFolder work;
    fs::create_directory(work / "Talk");
    WriteFile(work / "Talk/slide1.jpg", BinaryContent(4000, 6));
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());

    for (const std::string scheme : {"ftp", "FTP", "Ftp"}) {
        SCOPED_TRACE(scheme);
        fs::remove_all(server.AnonymousRoot() / "Talk");
        const LogCapture log;
        SendingData request;
        request.srcFolder = work.Path().string();
        request.destination = scheme + "://" + hostPort + "/";
        request.folderName = "Talk";
        ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteSending(&request));
        EXPECT_EQ(TreeContents(work / "Talk"), TreeContents(server.AnonymousRoot() / "Talk"));
        const std::vector<std::string> infos = log.Infos("fnsdExecuteSending");
        ASSERT_FALSE(infos.empty());
        EXPECT_EQ(" Send:(1)", infos.front());
    }
}

TEST(FtpDispatch, UploadFailuresArePassedOn)
{
    const ClosedPort closed;
    TempFolder work;
    SendingData request;
    request.srcFolder = work.Path().string();
    request.destination = "ftp://127.0.0.1:" + std::to_string(closed.Port()) + "/";
    request.folderName = "Talk";
    const LogCapture log;
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, fnsdExecuteSending(&request));
    // Logged by the upload, not again by the dispatcher.
    EXPECT_TRUE(log.Errors("fnsdExecuteSending").empty());
    EXPECT_EQ(std::vector<std::string>{"InternetConnectW() failed."}, log.Errors("actSendingFTP"));
}

TEST(FtpDispatch, TheLogShowsNoCredentialsOfTheUrl)
{
    const ClosedPort closed;
    TempFolder work;
    SendingData request;
    request.srcFolder = work.Path().string();
    const std::string hostPort = "127.0.0.1:" + std::to_string(closed.Port());
    request.destination = "ftp://ann:secret@" + hostPort + "/pub";
    request.folderName = "Talk";
    const LogCapture log;
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, fnsdExecuteSending(&request));
    const std::vector<std::string> infos = log.Infos("fnsdExecuteSending");
    ASSERT_EQ(3u, infos.size());
    EXPECT_EQ(" Send:Dst[ftp://" + hostPort + "/pub]", infos[2]);
}
