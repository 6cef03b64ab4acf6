#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/ftps_server.h"
#include "tests/support/loopback_ports.h"
#include "tests/support/run_program.h"
#include "tests/support/sftp_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

namespace {

const std::string kContent = BinaryContent(150000, 7);

bool Has(const Strings& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasPrefix(const Strings& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

// The word after the first "=" of a line, or after its first space with
// separator ' '.
std::string After(const std::string& text, char separator)
{
    std::string line = text.substr(0, text.find('\n'));
    const std::size_t at = line.find(separator);
    if (at == std::string::npos)
        return "";
    line = line.substr(at + 1);
    return line.substr(0, line.find(' '));
}

// The harness servers checked with the command-line clients: curl, openssl
// and the OpenSSH tools, with a home of the test's own so that none reads
// the files of the person running it.
class SecureServers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(work / "home");
        WriteFile(Upload(), kContent);
    }

    fs::path Upload() const { return work / "slide1.jpg"; }

    std::map<std::string, std::string> Environment() const
    {
        return {{"HOME", (work / "home").string()}};
    }

    ProgramResult Run(const Strings& argv) const { return RunProgram(argv, Environment()); }

    // -q first: no .curlrc.
    static Strings CurlCommand(const Strings& arguments)
    {
        Strings argv = {"/usr/bin/curl", "-q", "-sS", "--max-time", "60"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return argv;
    }

    ProgramResult Curl(const Strings& arguments) const { return Run(CurlCommand(arguments)); }

    // The fingerprint of the certificate a TLS handshake on port shows.
    std::string PresentedFingerprint(int port, FtpsMode mode) const
    {
        const std::string starttls = mode == FtpsMode::Explicit ? "-starttls ftp" : "";
        const ProgramResult result =
            Run({"/bin/sh", "-c",
                 "openssl s_client -connect 127.0.0.1:" + std::to_string(port) + " " + starttls +
                     " </dev/null 2>/dev/null | openssl x509 -noout -fingerprint -sha256"});
        EXPECT_EQ(result.out.rfind("sha256 Fingerprint=", 0), 0u) << result.out << result.err;
        return After(result.out, '=');
    }

    // The fingerprint of the ed25519 host key that ssh-keyscan gets on port.
    std::string ScannedFingerprint(int port) const
    {
        // "256 SHA256:... 127.0.0.1 (ED25519)"
        const ProgramResult result = Run({"/bin/sh", "-c",
                                          "ssh-keyscan -t ed25519 -p " + std::to_string(port) +
                                              " 127.0.0.1 2>/dev/null | ssh-keygen -lf -"});
        EXPECT_EQ(result.status, 0) << result.out << result.err;
        return After(result.out, ' ');
    }

    TempFolder work;
};

const std::string kLogin = FtpsTestServer::User() + ":" + FtpsTestServer::Password();
const std::string kSftpLogin = SftpTestServer::User() + ":" + SftpTestServer::Password();

std::string FtpUrl(int port, const std::string& path)
{
    return "ftp://127.0.0.1:" + std::to_string(port) + path;
}

TEST_F(SecureServers, ExplicitFtpsTakesAnUploadOverTls)
{
    const FtpsTestServer server(FtpsMode::Explicit);
    EXPECT_EQ(server.Url("/deck/x.jpg"),
              "ftpes://127.0.0.1:" + std::to_string(server.Port()) + "/deck/x.jpg");

    // curl names explicit FTPS ftp:// with --ssl-reqd; the certificate is
    // checked, for 127.0.0.1.
    const ProgramResult result =
        Curl({"--ssl-reqd", "--cacert", server.Certificate().string(), "--ftp-create-dirs", "-u",
              kLogin, "-T", Upload().string(), FtpUrl(server.Port(), "/deck/slide1.jpg")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(server.UserRoot() / "deck/slide1.jpg"), kContent);
    const Strings commands = server.Commands();
    EXPECT_TRUE(HasPrefix(commands, "AUTH ")) << ::testing::PrintToString(commands);
    EXPECT_TRUE(Has(commands, "PROT P")) << ::testing::PrintToString(commands);
}

TEST_F(SecureServers, ExplicitFtpsRefusesAPlainLogin)
{
    const FtpsTestServer server(FtpsMode::Explicit);
    const ProgramResult result =
        Curl({"-u", kLogin, "-T", Upload().string(), FtpUrl(server.Port(), "/slide1.jpg")});
    EXPECT_EQ(result.status, 67) << result.err; // login denied
    EXPECT_FALSE(fs::exists(server.UserRoot() / "slide1.jpg"));
    const Strings commands = server.Commands();
    EXPECT_TRUE(Has(commands, "USER " + FtpsTestServer::User()))
        << ::testing::PrintToString(commands);
    EXPECT_FALSE(HasPrefix(commands, "STOR")) << ::testing::PrintToString(commands);
}

TEST_F(SecureServers, ImplicitFtpsTakesAnUploadOverTls)
{
    const FtpsTestServer server(FtpsMode::Implicit);
    EXPECT_EQ(server.Url("/x.jpg"), "ftps://127.0.0.1:" + std::to_string(server.Port()) + "/x.jpg");

    const ProgramResult result = Curl({"--cacert", server.Certificate().string(), "-u", kLogin,
                                       "-T", Upload().string(), server.Url("/slide1.jpg")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(server.UserRoot() / "slide1.jpg"), kContent);
    const Strings commands = server.Commands();
    // TLS came first: no AUTH on the control connection.
    EXPECT_FALSE(HasPrefix(commands, "AUTH")) << ::testing::PrintToString(commands);
    EXPECT_TRUE(Has(commands, "PROT P")) << ::testing::PrintToString(commands);
}

TEST_F(SecureServers, FtpsServersPresentTheCertificateTheyReport)
{
    for (const FtpsMode mode : {FtpsMode::Explicit, FtpsMode::Implicit}) {
        const FtpsTestServer server(mode);
        EXPECT_EQ(server.Fingerprint().size(), 32u * 3 - 1) << server.Fingerprint();
        EXPECT_EQ(PresentedFingerprint(server.Port(), mode), server.Fingerprint());
    }
}

TEST_F(SecureServers, RestartedFtpsServerHasANewCertificateOnTheSamePort)
{
    std::optional<FtpsTestServer> server(std::in_place, FtpsMode::Explicit);
    const int port = server->Port();
    const std::string before = server->Fingerprint();
    server.reset();
    server.emplace(FtpsMode::Explicit, port);
    EXPECT_EQ(server->Port(), port);
    EXPECT_NE(server->Fingerprint(), before);
    EXPECT_EQ(PresentedFingerprint(port, FtpsMode::Explicit), server->Fingerprint());
}

TEST_F(SecureServers, SftpTakesAnUploadWithThePasswordAsTheTestUser)
{
    const SftpTestServer server;
    const std::string path = server.Home().string() + "/slide1.jpg";
    EXPECT_EQ(server.Url(path), "sftp://127.0.0.1:" + std::to_string(server.Port()) + path);

    const ProgramResult result =
        Curl({"-k", "-u", kSftpLogin, "-T", Upload().string(), server.Url(path)});
    ASSERT_EQ(result.status, 0) << result.err << server.Log();
    EXPECT_EQ(ReadFile(path), kContent);
    struct stat status = {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, server.Uid());
    EXPECT_NE(status.st_uid, 0u);
}

TEST_F(SecureServers, SftpRefusesAWrongPassword)
{
    const SftpTestServer server;
    const std::string path = server.Home().string() + "/slide1.jpg";
    const ProgramResult result = Curl(
        {"-k", "-u", SftpTestServer::User() + ":wrong", "-T", Upload().string(), server.Url(path)});
    EXPECT_EQ(result.status, 67) << result.err; // login denied
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SecureServers, SftpTakesAnUploadWithAnAuthorizedKeyOnly)
{
    const SftpTestServer server;
    const fs::path key = work / "id_ed25519";
    const ProgramResult made =
        Run({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key.string()});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string path = server.Home().string() + "/slide1.jpg";
    const Strings upload = {"-k",
                            "-u",
                            SftpTestServer::User() + ":",
                            "--key",
                            key.string(),
                            "--pubkey",
                            key.string() + ".pub",
                            "-T",
                            Upload().string(),
                            server.Url(path)};

    EXPECT_EQ(Curl(upload).status, 67); // not authorized yet
    EXPECT_FALSE(fs::exists(path));
    server.AuthorizeKey(key.string() + ".pub");
    const ProgramResult result = Curl(upload);
    ASSERT_EQ(result.status, 0) << result.err << server.Log();
    EXPECT_EQ(ReadFile(path), kContent);
}

TEST_F(SecureServers, SftpServerShowsTheHostKeyItReportsAndANewOneAfterARestart)
{
    std::optional<SftpTestServer> server(std::in_place);
    const int port = server->Port();
    const std::string before = server->Fingerprint();
    EXPECT_EQ(before.rfind("SHA256:", 0), 0u) << before;
    EXPECT_EQ(ScannedFingerprint(port), before);

    server.reset();
    EXPECT_FALSE(Accepting(port));
    server.emplace(port);
    EXPECT_EQ(server->Port(), port);
    EXPECT_NE(server->Fingerprint(), before);
    EXPECT_EQ(ScannedFingerprint(port), server->Fingerprint());
}

TEST_F(SecureServers, StoppedSftpServerEndsItsSessionsToo)
{
    std::optional<SftpTestServer> server(std::in_place);
    const std::string path = server->Home().string() + "/slide1.jpg";
    // About 15 s at this rate, unless the session goes with the server.
    RunningProgram upload(CurlCommand({"--limit-rate", "10K", "-k", "-u", kSftpLogin, "-T",
                                       Upload().string(), server->Url(path)}),
                          Environment());
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(path); }, 20s)) << server->Log();

    const auto stopped = std::chrono::steady_clock::now();
    server.reset();
    const ProgramResult result = upload.Finish();
    EXPECT_NE(result.status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 5s);
}

} // namespace
