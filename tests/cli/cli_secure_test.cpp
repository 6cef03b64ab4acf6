// The command line with FTPS and SFTP destinations: a server is trusted with
// "servers trust", and only then does a deck arrive.

#include "tests/cli/cli_test_support.h"
#include "tests/support/ftps_server.h"
#include "tests/support/isolated_home.h"
#include "tests/support/sftp_server.h"
#include "tests/support/test_decks.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class CliSecure : public ::testing::Test
{
protected:
    ProgramResult Run(const std::vector<std::string>& arguments) const
    {
        return RunProgram(Cli(arguments), {{"HOME", home.Path().string()},
                                           {"XDG_CONFIG_HOME", home.Path().string()},
                                           {"TMPDIR", temp.Path().string()},
                                           {"KORVANTA_PASSWORD", FtpTestServer::Password()},
                                           {"LANG", "C"}});
    }

    // Converts the test deck to the URL, logged in as the test user.
    ProgramResult Convert(const std::string& option, const std::string& url) const
    {
        return Run({"convert", TestDeck("widescreen.pptx").string(), option, url, "--user",
                    FtpTestServer::User()});
    }

    std::string KnownServers() const { return ReadFile(home / "korvanta/known_servers"); }

    TempFolder home;
    TempFolder temp;
};

bool HasTheSlides(const fs::path& folder)
{
    return fs::exists(folder / "slide1.jpg") && fs::exists(folder / "slide2.jpg");
}

} // namespace

TEST_F(CliSecure, AnUnknownServerIsRefusedUntilItIsTrustedThenTheDeckArrives)
{
    FtpsTestServer explicitTls(FtpsMode::Explicit);
    FtpsTestServer implicitTls(FtpsMode::Implicit);
    SftpTestServer sftp;
    struct Kind
    {
        std::string option, url, fingerprint;
        fs::path folder;
    };
    const Kind kinds[] = {
        {"--ftp", explicitTls.Url("/"), explicitTls.Fingerprint(), explicitTls.UserRoot()},
        {"--ftp", implicitTls.Url("/"), implicitTls.Fingerprint(), implicitTls.UserRoot()},
        {"--sftp", sftp.Url(sftp.Home().string()), sftp.Fingerprint(), sftp.Home()},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.url);
        const ProgramResult refused = Convert(kind.option, kind.url);
        EXPECT_EQ(22, refused.status);
        EXPECT_NE(std::string::npos, refused.err.find(kind.fingerprint)) << refused.err;
        EXPECT_NE(std::string::npos, refused.err.find("servers trust")) << refused.err;
        EXPECT_FALSE(fs::exists(kind.folder / "widescreen"));

        // No terminal to answer on, and no --yes: nothing is recorded.
        EXPECT_EQ(1, Run({"servers", "trust", kind.url}).status);
        const ProgramResult trusted = Run({"servers", "trust", "--yes", kind.url});
        ASSERT_EQ(0, trusted.status) << trusted.err;
        EXPECT_NE(std::string::npos, trusted.err.find(kind.fingerprint)) << trusted.err;
        EXPECT_NE(std::string::npos, KnownServers().find(kind.fingerprint));

        const ProgramResult converted = Convert(kind.option, kind.url);
        ASSERT_EQ(0, converted.status) << converted.err;
        EXPECT_TRUE(HasTheSlides(kind.folder / "widescreen"));
    }
    struct stat info{};
    ASSERT_EQ(0, ::stat((home / "korvanta/known_servers").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
    // One line per server.
    const std::string lines = KnownServers();
    EXPECT_EQ(4, std::count(lines.begin(), lines.end(), '\n')) << lines;
}

TEST_F(CliSecure, TrustTakesOnlyUrlsOfServersWithAnIdentity)
{
    EXPECT_EQ(2, Run({"servers", "trust", "ftp://127.0.0.1/pub"}).status);
    EXPECT_EQ(2, Run({"servers", "trust", "--yes", "\\\\nas\\share"}).status);
    EXPECT_EQ(2, Run({"servers", "trust"}).status);
    // Nobody listens there.
    const ProgramResult unreachable = Run({"servers", "trust", "--yes", "sftp://127.0.0.1:1/"});
    EXPECT_EQ(22, unreachable.status);
    EXPECT_FALSE(fs::exists(home / "korvanta/known_servers"));
}
