#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "delivery/smb_upload.h"
#include "log/debug_log.h"
#include "log/failure.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/child_process.h"
#include "tests/support/desktop_opener.h"
#include "tests/support/loopback_ports.h"
#include "tests/support/smb_server.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kUser = SmbTestServer::User();
const std::string kPassword = SmbTestServer::Password();

std::vector<std::string> LinesOf(const std::string& text, const std::string& function)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.find(",\"" + function + "\",") != std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class SmbUpload : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        try {
            server = std::make_unique<SmbTestServer>();
        } catch (const std::exception& e) {
            startError = e.what();
        }
    }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override { ASSERT_TRUE(server) << startError; }

    // The image folder name in the working folder: one file bigger than a
    // write chunk, a small one and an empty one.
    void MakeImages(const std::string& name, unsigned seed = 1)
    {
        fs::create_directories(work / name);
        WriteFile(work / name / "slide1.jpg", BinaryContent(200 * 1024 + 7, seed));
        WriteFile(work / name / "slide2.jpg", BinaryContent(1000, seed + 1));
        WriteFile(work / name / "slide3.jpg", "");
    }

    SendingData Request(const std::string& destination, const std::string& name,
                        bool authentication = false, const std::string& password = kPassword)
    {
        SendingData request;
        request.srcFolder = work.Path().string();
        request.folderName = name;
        request.destination = destination;
        request.authentication = authentication;
        request.id = authentication ? kUser : "";
        request.password = authentication ? password : "";
        return request;
    }

    // The delivery in a child process with the debug log on; a hang ends the
    // child by alarm, and the result is then -1.
    int SendLogged(const SendingData& request, std::string& log)
    {
        const fs::path file = work / "Korvanta.log";
        const int result = RunInChild([&] {
            ::alarm(120);
            LogInit(3, file.string());
            return fnsdExecuteSending(&request);
        });
        log = ReadFile(file);
        return result;
    }

    static int Send(const SendingData& request) { return fnsdExecuteSending(&request); }

    static inline std::unique_ptr<SmbTestServer> server;
    static inline std::string startError;
    TempFolder work;
};

TEST_F(SmbUpload, TheUsersUploadCreatesTheFoldersBelowTheShare)
{
    const std::string name = "Q3 review #1 100% ä";
    MakeImages(name);
    ASSERT_EQ(RESULT_SUCCESS, Send(Request(server->Url("private/2024/spring"), name, true)))
        << server->Log();
    const fs::path delivered = server->Share("private") / "2024/spring" / name;
    EXPECT_EQ(TreeContents(work / name), TreeContents(delivered));
    EXPECT_EQ(3u, TreeContents(delivered).size());
}

TEST_F(SmbUpload, UncPathAndUrlWithATrailingSeparatorReachTheSameFolder)
{
    MakeImages("deck");
    ASSERT_EQ(RESULT_SUCCESS, Send(Request(server->Unc("guest\\drop\\"), "deck")));
    const fs::path delivered = server->Share("guest") / "drop/deck";
    EXPECT_EQ(TreeContents(work / "deck"), TreeContents(delivered));

    // Same names, new contents, the other spelling of the destination.
    fs::remove_all(work / "deck");
    MakeImages("deck", 7);
    ASSERT_EQ(RESULT_SUCCESS, Send(Request(server->Url("guest/drop/"), "deck")));
    EXPECT_EQ(TreeContents(work / "deck"), TreeContents(delivered));
    EXPECT_EQ((std::vector<std::string>{"deck"}), [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(server->Share("guest") / "drop"))
            names.push_back(entry.path().filename().string());
        return names;
    }());
}

TEST_F(SmbUpload, SameNamedFilesAreReplacedAndOthersKept)
{
    MakeImages("replace");
    ASSERT_EQ(RESULT_SUCCESS, Send(Request(server->Url("private"), "replace", true)));
    const fs::path delivered = server->Share("private") / "replace";
    WriteFile(delivered / "notes.txt", "kept");

    WriteFile(work / "replace" / "slide1.jpg", "short");
    ASSERT_EQ(RESULT_SUCCESS, Send(Request(server->Unc("private"), "replace", true)));
    EXPECT_EQ("short", ReadFile(delivered / "slide1.jpg"));
    EXPECT_EQ(ReadFile(work / "replace" / "slide2.jpg"), ReadFile(delivered / "slide2.jpg"));
    EXPECT_EQ("kept", ReadFile(delivered / "notes.txt"));
}

TEST_F(SmbUpload, OnlyThePlainNamedImageFolderGoesToTheChosenFolder)
{
    // ".." of the image folder would put the working folder's other contents
    // into the share's root; "." its images loose into the chosen folder.
    MakeImages("deck");
    WriteFile(work / "beside.txt", "not an image");
    fs::create_directories(server->Share("guest") / "confined");
    const auto before = TreeContents(server->Share("guest"));
    for (const char* name : {"..", ".", "", "a\\b", "deck/.."}) {
        SendingData request = Request(server->Url("guest/confined"), name);
        request.srcFolder = (work / "deck").string();
        EXPECT_EQ(RESULT_DELIVERY_FAILED, Send(request)) << name;
    }
    EXPECT_EQ(before, TreeContents(server->Share("guest")));
}

TEST_F(SmbUpload, AnOrdinaryUserUploadsToo)
{
    // No write access to Samba's own folders, as on a desktop.
    MakeImages("ordinary");
    fs::permissions(work.Path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    const SendingData request = Request(server->Url("private/ordinary"), "ordinary", true);
    ASSERT_EQ(RESULT_SUCCESS, RunAsUnprivileged([&] { return fnsdExecuteSending(&request); }));
    EXPECT_EQ(TreeContents(work / "ordinary"),
              TreeContents(server->Share("private") / "ordinary/ordinary"));
}

TEST_F(SmbUpload, AWrongPasswordIsRefusedWhereGuestsMayWrite)
{
    MakeImages("wrong");
    std::string log;
    EXPECT_EQ(RESULT_DELIVERY_FAILED,
              SendLogged(Request(server->Url("guest"), "wrong", true, "not the password"), log));
    EXPECT_FALSE(fs::exists(server->Share("guest") / "wrong"));

    EXPECT_TRUE(Contains(log, R"("actSendingSMB","[Error]","actConnectSMB() failed.")")) << log;
    const auto connect = LinesOf(log, "actConnectSMB");
    ASSERT_EQ(2u, connect.size()) << log;
    EXPECT_TRUE(Contains(connect[0], R"("actConnectSMB","Start")"));
    EXPECT_TRUE(Contains(connect[1], R"("actConnectSMB","End","Line = )"));
}

TEST_F(SmbUpload, SharesThatCannotBeUsedFailWithNothingWritten)
{
    MakeImages("refused");
    EXPECT_EQ(RESULT_DELIVERY_FAILED, Send(Request(server->Url("private"), "refused")));
    EXPECT_EQ(RESULT_DELIVERY_FAILED, Send(Request(server->Url("private"), "refused", true, "")));
    EXPECT_EQ(RESULT_DELIVERY_FAILED, Send(Request(server->Unc("no-such-share"), "refused")));
    EXPECT_FALSE(fs::exists(server->Share("private") / "refused"));

    ClosedPort nobody;
    const std::string closed = "smb://127.0.0.1:" + std::to_string(nobody.Port()) + "/guest";
    EXPECT_EQ(RESULT_DELIVERY_FAILED, Send(Request(closed, "refused")));
    EXPECT_EQ(
        RESULT_DELIVERY_FAILED,
        Send(Request("\\\\127.0.0.1:" + std::to_string(nobody.Port()) + "\\guest", "refused")));
}

TEST_F(SmbUpload, AReadOnlyShareFailsAndTheLogSaysWhere)
{
    MakeImages("readonly");
    std::string log;
    EXPECT_EQ(RESULT_DELIVERY_FAILED,
              SendLogged(Request(server->Url("readonly/sub"), "readonly", true), log));
    EXPECT_TRUE(TreeContents(server->Share("readonly")).empty());
    EXPECT_FALSE(fs::exists(server->Share("readonly") / "sub"));
    EXPECT_TRUE(Contains(log, "The folder " + server->Url("readonly/sub") + " cannot be created"))
        << log;
    EXPECT_TRUE(Contains(log, R"("actSendingSMB","[Error]","SHFileOperationW() failed.")")) << log;
}

TEST_F(SmbUpload, AServerThatNeverAnswersFailsAfterTheTimeOut)
{
    MakeImages("silent");
    SilentPort silent;
    std::string log;
    const std::string destination = "smb://127.0.0.1:" + std::to_string(silent.Port()) + "/guest";
    EXPECT_EQ(RESULT_DELIVERY_FAILED, SendLogged(Request(destination, "silent"), log));
    EXPECT_TRUE(Contains(log, R"("actSendingSMB","[Error]","actConnectSMB() failed.")")) << log;
}

TEST_F(SmbUpload, ConnectingChecksTheCredentials)
{
    EXPECT_TRUE(actConnectSMB(server->Url("private"), true, kUser, kPassword));
    EXPECT_TRUE(actConnectSMB(server->Unc("private\\not\\made\\yet\\"), true, kUser, kPassword));
    EXPECT_TRUE(actConnectSMB(server->Unc("guest"), false, "ignored", "ignored"));
    EXPECT_FALSE(actConnectSMB(server->Url("private"), false, kUser, kPassword));
    EXPECT_FALSE(actConnectSMB(server->Url("guest"), true, kUser, "wrong"));
    EXPECT_FALSE(actConnectSMB(server->Url("guest"), true, kUser, ""));
    EXPECT_FALSE(actConnectSMB(server->Url("missing"), false, "", ""));
    EXPECT_FALSE(actConnectSMB("\\\\127.0.0.1", false, "", ""));
}

TEST_F(SmbUpload, OpeningAShareChecksItsConnectionFirst)
{
    EXPECT_EQ(server->Url("private/sub"),
              ShareOpenTarget(server->Unc("private\\sub\\"), true, kUser, kPassword));
    try {
        ShareOpenTarget(server->Url("private"), true, kUser, "wrong");
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_STREQ("actConnectSMB() failed.", failure.what());
    }

    RecordingOpener opener;
    EXPECT_TRUE(fnsdExecuteOpeningServer(server->Unc("guest\\drop"), false, "", ""));
    EXPECT_FALSE(fnsdExecuteOpeningServer(server->Unc("private"), true, kUser, "wrong"));
    EXPECT_EQ(std::vector<std::string>{server->Url("guest/drop")}, opener.Opened());
}

TEST(SmbSending, ANullRequestIsRefused)
{
    EXPECT_EQ(RESULT_NO_DELIVERY_REQUEST, actSendingSMB(nullptr));
}

} // namespace
