#include "convert/libreoffice/office_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/ftp_server.h"
#include "tests/support/test_decks.h"
#include "tests/support/smb_server.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <regex>

namespace fs = std::filesystem;

namespace {

// One deck sent to several destinations by one run of the command line.
class CliDestinations : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(fs::is_empty(temp.Path())) << "a working folder was left behind";
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    ProgramResult Convert(const std::vector<std::string>& destinations)
    {
        std::vector<std::string> arguments = {"convert", "--log",
                                              TestDeck("widescreen.pptx").string()};
        arguments.insert(arguments.end(), destinations.begin(), destinations.end());
        return RunProgram(Cli(arguments), {{"TMPDIR", temp.Path().string()},
                                           {"XDG_CONFIG_HOME", config.Path().string()},
                                           {"LANG", "C"}});
    }

    // How often the deck was loaded, by the debug log.
    int Exports() const
    {
        const std::string log = ReadFile(config / "korvanta/Korvanta.log");
        const std::regex start(R"("fnjgConvetPptToJpeg","Start")");
        return static_cast<int>(
            std::distance(std::sregex_iterator(log.begin(), log.end(), start), {}));
    }

    static bool HasTheSlides(const fs::path& folder)
    {
        return fs::exists(folder / "slide1.jpg") && fs::exists(folder / "slide2.jpg");
    }

    TempFolder temp;
    TempFolder config;
    TempFolder output;
};

} // namespace

TEST_F(CliDestinations, OneExportReachesALocalFolderAnFtpServerAndAShare)
{
    FtpTestServer ftp;
    SmbTestServer share;
    const auto result = Convert(
        {"--ftp", ftp.Url("/"), "--to", output.Path().string(), "--share", share.Url("guest")});
    ASSERT_EQ(0, result.status) << result.err;
    EXPECT_EQ(ftp.Url("/widescreen") + "\n" + (output / "widescreen").string() + "\n" +
                  share.Url("guest/widescreen") + "\n",
              result.out);
    EXPECT_TRUE(HasTheSlides(ftp.AnonymousRoot() / "widescreen"));
    EXPECT_TRUE(HasTheSlides(output / "widescreen"));
    EXPECT_TRUE(HasTheSlides(share.Share("guest") / "widescreen"));
    EXPECT_EQ(1, Exports());
}

TEST_F(CliDestinations, DestinationsThatFailLeaveTheOthersTheirImages)
{
    FtpTestServer ftp;
    WriteFile(output / "file", "a file, not a folder");
    const std::string noFolder = (output / "file/below").string();
    const auto result =
        Convert({"--ftp", ftp.Url("/missing"), "--to", output.Path().string(), "--to", noFolder});
    // The first failure, in the order given.
    EXPECT_EQ(23, result.status);
    EXPECT_EQ((output / "widescreen").string() + "\n", result.out);
    const std::string deck = TestDeck("widescreen.pptx").string();
    EXPECT_EQ("korvanta-cli: " + deck + " to " + ftp.Url("/missing/widescreen") +
                  ": Failed to save the file.\n"
                  "korvanta-cli: " +
                  deck + " to " + noFolder +
                  "/widescreen: Unable to create a folder on the specified path.\n",
              result.err);
    EXPECT_TRUE(HasTheSlides(output / "widescreen"));
    EXPECT_EQ(1, Exports());
}
