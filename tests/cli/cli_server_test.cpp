#include "convert/libreoffice/office_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/ftp_server.h"
#include "tests/support/smb_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// A deck converted to a server by the command line arrives as the same
// images a local conversion of it gives.
class CliServerDelivery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto local = Convert({"--to", localCopy.Path().string()});
        ASSERT_EQ(0, local.status) << local.err;
    }

    void TearDown() override
    {
        EXPECT_TRUE(fs::is_empty(temp.Path()));
        EXPECT_EQ(0, office::FindAnyOfficeProcess());
    }

    ProgramResult Convert(std::vector<std::string> destination, const std::string& password = "")
    {
        destination.insert(destination.begin(), {"convert", TestDeck(kDeck).string()});
        return RunProgram(Cli(destination),
                          {{"TMPDIR", temp.Path().string()}, {"KORVANTA_PASSWORD", password}});
    }

    // Every image of the local conversion, byte for byte, and nothing else.
    void ExpectSameImages(const fs::path& delivered) const
    {
        const fs::path expected = localCopy / "standard";
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(expected))
            names.push_back(entry.path().filename().string());
        ASSERT_EQ(9u, names.size());
        EXPECT_EQ(9, std::distance(fs::directory_iterator(delivered), {}));
        for (const auto& name : names)
            EXPECT_EQ(ReadFile(expected / name), ReadFile(delivered / name)) << name;
    }

    static constexpr const char* kDeck = "standard.pptx";
    TempFolder temp;
    TempFolder localCopy;
};

} // namespace

TEST_F(CliServerDelivery, ToAnFtpServerInActiveMode)
{
    FtpTestServer server;
    fs::create_directories(server.UserRoot() / "slides");
    const auto result = Convert({"--ftp", server.Url("/slides"), "--user", FtpTestServer::User()},
                                FtpTestServer::Password());
    ASSERT_EQ(0, result.status) << result.err;
    EXPECT_EQ(server.Url("/slides") + "/standard\n", result.out);
    ExpectSameImages(server.UserRoot() / "slides/standard");
    const auto commands = server.Commands();
    EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [](const std::string& command) {
        return command.starts_with("EPRT") || command.starts_with("PORT");
    }));
    EXPECT_TRUE(std::none_of(commands.begin(), commands.end(), [](const std::string& command) {
        return command.starts_with("PASV") || command.starts_with("EPSV");
    }));
}

TEST_F(CliServerDelivery, ToAShareWithTheUsersCredentials)
{
    SmbTestServer server;
    const auto result =
        Convert({"--share", server.Unc("private\\decks\\"), "--user", SmbTestServer::User()},
                SmbTestServer::Password());
    ASSERT_EQ(0, result.status) << result.err << server.Log();
    ExpectSameImages(server.Share("private") / "decks/standard");

    const auto refused =
        Convert({"--share", server.Url("private/other"), "--user", SmbTestServer::User()},
                "wrong password");
    EXPECT_EQ(23, refused.status);
    EXPECT_NE(std::string::npos, refused.err.find("Failed to save the file."));
    EXPECT_FALSE(fs::exists(server.Share("private") / "other"));
}
