// Who is at the other end of an FTPS or SFTP destination: a server is used
// only once its identity is trusted, a changed one is refused, and no
// password leaves the process.

#include "convert/convert_controller.h"
#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "delivery/identity_probe.h"
#include "delivery/known_servers.h"
#include "log/debug_log.h"
#include "tests/delivery/publish_destinations.h"
#include "tests/support/child_process.h"
#include "tests/support/ftps_server.h"
#include "tests/support/isolated_home.h"
#include "tests/support/run_program.h"
#include "tests/support/sftp_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class SecureKind
{
    ExplicitTls,
    ImplicitTls,
    Sftp
};

// One secure server, which can be started again on its port with a new
// identity.
class SecureServer
{
public:
    explicit SecureServer(SecureKind kind) : kind_(kind) { Start(0); }

    void ChangeIdentity()
    {
        const int port = Port();
        ftps_.reset();
        sftp_.reset();
        Start(port);
    }
    int Port() const { return sftp_ ? sftp_->Port() : ftps_->Port(); }
    std::string Fingerprint() const { return sftp_ ? sftp_->Fingerprint() : ftps_->Fingerprint(); }
    std::string Url() const { return sftp_ ? sftp_->Url(sftp_->Home().string()) : ftps_->Url("/"); }
    fs::path Folder(const std::string& name) const
    {
        return (sftp_ ? sftp_->Home() : ftps_->UserRoot()) / name;
    }

private:
    void Start(int port)
    {
        if (kind_ == SecureKind::Sftp)
            sftp_ = std::make_unique<SftpTestServer>(port);
        else
            ftps_ = std::make_unique<FtpsTestServer>(
                kind_ == SecureKind::ExplicitTls ? FtpsMode::Explicit : FtpsMode::Implicit, port);
    }

    SecureKind kind_;
    std::unique_ptr<FtpsTestServer> ftps_;
    std::unique_ptr<SftpTestServer> sftp_;
};

class ServerIdentity : public ::testing::TestWithParam<SecureKind>
{
protected:
    ServerIdentity() : server(GetParam()) { WriteDeck(work.Path(), "Talk", 3, 2000, 1); }

    // Publishes work/Talk with the user's password; the servers the
    // publish asked about go into asked, and each is trusted as trust says.
    int Publish(bool trust, const std::string& password = FtpTestServer::Password())
    {
        SendingData request;
        request.srcFolder = work.Path().string();
        request.destination = server.Url();
        request.folderName = "Talk";
        request.authentication = true;
        request.id = FtpTestServer::User();
        request.password = password;
        request.trustServer = [&](const UntrustedServer& untrusted) {
            asked.push_back(untrusted);
            return trust;
        };
        return fnsdExecuteSending(&request);
    }

    IsolatedHome home;
    TempFolder work;
    SecureServer server;
    std::vector<UntrustedServer> asked;
};

std::string SecureKindName(const ::testing::TestParamInfo<SecureKind>& info)
{
    const char* const names[] = {"ExplicitTls", "ImplicitTls", "Sftp"};
    return names[static_cast<int>(info.param)];
}

} // namespace

TEST_P(ServerIdentity, AnUnknownServerIsRefusedWithItsFingerprintAndGetsNothing)
{
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, Publish(false));
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ("127.0.0.1", asked[0].host);
    EXPECT_EQ(server.Port(), asked[0].port);
    EXPECT_EQ(server.Fingerprint(), asked[0].fingerprint);
    EXPECT_FALSE(asked[0].changed);
    EXPECT_FALSE(fs::exists(server.Folder("Talk")));
    EXPECT_EQ(std::nullopt, TrustedIdentity("127.0.0.1", server.Port()));
}

TEST_P(ServerIdentity, AServerTrustedWhenAskedIsRecordedAndAskedAboutNoMore)
{
    ASSERT_EQ(RESULT_SUCCESS, Publish(true));
    EXPECT_EQ(1u, asked.size());
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.Folder("Talk")));
    EXPECT_EQ(server.Fingerprint(), TrustedIdentity("127.0.0.1", server.Port()));
    struct stat info{};
    ASSERT_EQ(0, ::stat((home.ConfigFolder() / "known_servers").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);

    WriteDeck(work.Path(), "Talk", 2, 1500, 7);
    ASSERT_EQ(RESULT_SUCCESS, Publish(false));
    EXPECT_EQ(1u, asked.size());
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.Folder("Talk")));
}

TEST_P(ServerIdentity, AChangedIdentityIsRefusedUntilTheNewOneIsTrusted)
{
    ASSERT_TRUE(TrustIdentity("127.0.0.1", server.Port(), server.Fingerprint()));
    ASSERT_EQ(RESULT_SUCCESS, Publish(false));
    const std::string trusted = server.Fingerprint();
    server.ChangeIdentity();
    ASSERT_NE(trusted, server.Fingerprint());

    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, Publish(false));
    ASSERT_EQ(1u, asked.size());
    EXPECT_TRUE(asked[0].changed);
    EXPECT_EQ(server.Fingerprint(), asked[0].fingerprint);
    EXPECT_FALSE(fs::exists(server.Folder("Talk")));
    EXPECT_EQ(trusted, TrustedIdentity("127.0.0.1", server.Port()));

    // The user trusts the new one when asked again.
    ASSERT_EQ(RESULT_SUCCESS, Publish(true));
    ASSERT_EQ(2u, asked.size());
    EXPECT_TRUE(asked[1].changed);
    EXPECT_EQ(server.Fingerprint(), TrustedIdentity("127.0.0.1", server.Port()));
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.Folder("Talk")));
}

TEST_P(ServerIdentity, AWrongPasswordGives22AndTheLogNamesNoSecret)
{
    ASSERT_TRUE(TrustIdentity("127.0.0.1", server.Port(), server.Fingerprint()));
    const fs::path log = home.Home() / "Korvanta.log";
    // The debug log is opened once per process.
    const int outcome = RunInChild([&] {
        LogInit(3, log.string());
        const bool refused = Publish(false, "Wrong-Secret-42") == RESULT_SERVER_UNREACHABLE;
        const bool published = Publish(false) == RESULT_SUCCESS;
        return (refused ? 0 : 1) | (published ? 0 : 2) | (asked.empty() ? 0 : 4);
    });
    EXPECT_EQ(0, outcome);
    const std::string lines = ReadFile(log);
    EXPECT_NE(std::string::npos, lines.find("InternetConnectW() failed.")) << lines;
    for (const std::string& secret : {std::string("Wrong-Secret-42"), FtpTestServer::Password()})
        EXPECT_EQ(std::string::npos, lines.find(secret)) << secret;
}

TEST_P(ServerIdentity, ShowingTheIdentityLogsNothingInAndTellsWhatIsKnown)
{
    ServerUrl url;
    ASSERT_TRUE(SplitServerUrl(server.Url(), url));
    auto shown = ShowServerIdentity(url);
    ASSERT_TRUE(shown);
    EXPECT_EQ(server.Fingerprint(), shown->fingerprint);
    EXPECT_EQ(std::nullopt, shown->trusted);
    EXPECT_NE(SystemVerdict::Vouched, shown->system);

    ASSERT_TRUE(TrustIdentity("127.0.0.1", server.Port(), "SHA256:an-older-one"));
    shown = ShowServerIdentity(url);
    ASSERT_TRUE(shown);
    EXPECT_EQ("SHA256:an-older-one", shown->trusted);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ServerIdentity,
                         ::testing::Values(SecureKind::ExplicitTls, SecureKind::ImplicitTls,
                                           SecureKind::Sftp),
                         SecureKindName);

TEST(ServerIdentityOfPlainFtp, AServerThatRequiresTlsRefusesAPlainLoginCleanly)
{
    IsolatedHome home;
    FtpsTestServer server(FtpsMode::Explicit);
    TempFolder work;
    WriteDeck(work.Path(), "Talk", 2, 1000, 1);
    SendingData request;
    request.srcFolder = work.Path().string();
    request.destination = "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/";
    request.folderName = "Talk";
    request.authentication = true;
    request.id = server.User();
    request.password = server.Password();
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, fnsdExecuteSending(&request));
    EXPECT_FALSE(fs::exists(server.UserRoot() / "Talk"));

    ServerUrl url;
    ASSERT_TRUE(SplitServerUrl(request.destination, url));
    EXPECT_FALSE(ShowServerIdentity(url));
}

TEST(ServerIdentityOfSftp, KnownHostsVouchesAndTheDefaultKeyLogsIn)
{
    IsolatedHome home;
    SftpTestServer server;
    const fs::path ssh = home.Home() / ".ssh";
    fs::create_directories(ssh);
    const ProgramResult keygen = RunProgram(
        {"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", (ssh / "id_ed25519").string()});
    ASSERT_EQ(0, keygen.status) << keygen.err;
    server.AuthorizeKey(ssh / "id_ed25519.pub");
    const ProgramResult scan = RunProgram(
        {"/usr/bin/ssh-keyscan", "-t", "ed25519", "-p", std::to_string(server.Port()), "127.0.0.1"});
    ASSERT_EQ(0, scan.status) << scan.err;
    WriteFile(ssh / "known_hosts", scan.out);

    TempFolder work;
    WriteDeck(work.Path(), "Talk", 2, 1000, 1);
    SendingData request;
    request.srcFolder = work.Path().string();
    request.destination = server.Url(server.Home().string());
    request.folderName = "Talk";
    request.authentication = true;
    request.id = server.User();
    request.trustServer = [](const UntrustedServer&) {
        ADD_FAILURE() << "known_hosts vouches for the server";
        return false;
    };
    ASSERT_EQ(RESULT_SUCCESS, fnsdExecuteSending(&request));
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.Home() / "Talk"));
    EXPECT_EQ(std::nullopt, TrustedIdentity("127.0.0.1", server.Port()));

    // known_hosts names another key for the server: a changed identity.
    SftpTestServer impostor(0);
    const std::string other = scan.out.substr(scan.out.find(' '));
    WriteFile(ssh / "known_hosts",
              "[127.0.0.1]:" + std::to_string(impostor.Port()) + other);
    request.destination = impostor.Url(impostor.Home().string());
    std::optional<UntrustedServer> asked;
    request.trustServer = [&](const UntrustedServer& server) {
        asked = server;
        return false;
    };
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, fnsdExecuteSending(&request));
    ASSERT_TRUE(asked);
    EXPECT_TRUE(asked->changed);
    EXPECT_EQ(impostor.Fingerprint(), asked->fingerprint);
}

TEST(SftpNames, QuotesAndEscapesInANameReachTheServerAsWritten)
{
    const auto destination = MakeDestination(DestinationKind::Sftp);
    TempFolder work;
    for (const std::string name : {"Talk \"quoted\" 'it''s' back%20 \xC3\xBC", "-rf *", "a\"b"}) {
        SCOPED_TRACE(name);
        for (const int count : {3, 1}) {
            WriteDeck(work.Path(), name, count, 1000, static_cast<unsigned>(count));
            ASSERT_EQ(RESULT_SUCCESS, destination->Publish(work.Path(), name));
            EXPECT_EQ(SlideImages(work / name), SlideImages(destination->Folder(name)));
        }
    }
}

namespace {

// The system's certificate authorities, for the life of the object: the one
// certificate in file (OpenSSL reads SSL_CERT_FILE in place of its store).
class SystemAuthorities
{
public:
    explicit SystemAuthorities(const fs::path& file) { ::setenv("SSL_CERT_FILE", file.c_str(), 1); }
    ~SystemAuthorities() { ::unsetenv("SSL_CERT_FILE"); }
};

int PublishAsking(const FtpsTestServer& server, const fs::path& work, int& asked)
{
    SendingData request;
    request.srcFolder = work.string();
    request.destination = server.Url("/");
    request.folderName = "Talk";
    request.authentication = true;
    request.id = server.User();
    request.password = server.Password();
    request.trustServer = [&](const UntrustedServer&) {
        ++asked;
        return false;
    };
    return fnsdExecuteSending(&request);
}

} // namespace

TEST(ServerIdentityOfTls, AnAuthorityVouchesOnlyForTheNamesItsCertificateGives)
{
    IsolatedHome home;
    TempFolder work;
    WriteDeck(work.Path(), "Talk", 2, 1000, 1);
    int asked = 0;
    {
        FtpsTestServer server(FtpsMode::Explicit);
        const SystemAuthorities authorities(server.Certificate());
        ASSERT_EQ(RESULT_SUCCESS, PublishAsking(server, work.Path(), asked));
        EXPECT_EQ(0, asked);
        EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.UserRoot() / "Talk"));
        EXPECT_EQ(std::nullopt, TrustedIdentity("127.0.0.1", server.Port()));
    }
    // A certificate of the authority's, but for another host.
    FtpsTestServer elsewhere(FtpsMode::Implicit, 0, "DNS:slides.example.org");
    const SystemAuthorities authorities(elsewhere.Certificate());
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE, PublishAsking(elsewhere, work.Path(), asked));
    EXPECT_EQ(1, asked);
    EXPECT_FALSE(fs::exists(elsewhere.UserRoot() / "Talk"));
}

namespace {

// A front end that answers the question about a server, and counts it.
class AnsweringObserver : public ExportObserver
{
public:
    explicit AnsweringObserver(bool answer) : answer_(answer) {}
    void SlideWritten(int, int) override {}
    bool TrustServer(const UntrustedServer& server) override
    {
        asked.push_back(server);
        return answer_;
    }
    std::vector<UntrustedServer> asked;

private:
    bool answer_;
};

} // namespace

TEST(ServerIdentityInAConversion, TheFrontEndIsAskedAndItsYesIsRemembered)
{
    IsolatedHome home;
    SftpTestServer server;
    TempFolder work;
    WriteDeck(work.Path(), "Talk", 2, 1000, 1);
    ConnectProfileData profile;
    profile.destination = server.Url(server.Home().string());
    profile.authentication = true;
    profile.id = server.User();
    profile.password = server.Password();

    AnsweringObserver no(false);
    EXPECT_EQ(RESULT_SERVER_UNREACHABLE,
              ConvertController().actExecSendToServer(work.Path().string(), "Talk", &profile, &no));
    ASSERT_EQ(1u, no.asked.size());
    EXPECT_EQ(server.Fingerprint(), no.asked[0].fingerprint);

    AnsweringObserver yes(true);
    ASSERT_EQ(RESULT_SUCCESS,
              ConvertController().actExecSendToServer(work.Path().string(), "Talk", &profile, &yes));
    EXPECT_EQ(1u, yes.asked.size());
    EXPECT_EQ(SlideImages(work / "Talk"), SlideImages(server.Home() / "Talk"));
    EXPECT_EQ(server.Fingerprint(), TrustedIdentity("127.0.0.1", server.Port()));
}
