#include "profiles/conn_prof_controller.h"
#include "tests/cli/cli_test_support.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// korvanta-cli servers against the profile file of home, which this process
// reads and writes too.
class CliServersSafety : public ::testing::Test
{
protected:
    std::map<std::string, std::string> Environment(const std::string& password) const
    {
        return {{"XDG_CONFIG_HOME", home.Root().string()},
                {"KORVANTA_PASSWORD", password},
                {"LANG", "C"},
                {"LC_ALL", ""}};
    }

    std::vector<std::string> Arguments(const std::vector<std::string>& arguments) const
    {
        std::vector<std::string> command = {"servers"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return Cli(command);
    }

    ProgramResult Servers(const std::vector<std::string>& arguments,
                          const std::string& password = "", bool unprivileged = false)
    {
        return RunProgram(Arguments(arguments), Environment(password), unprivileged);
    }

    ConfigHome home;
};

std::vector<std::string> Names(ConnProfController& controller)
{
    std::vector<std::string> names;
    controller.GetProfileNameList(names);
    return names;
}

} // namespace

TEST_F(CliServersSafety, WritersAtOnceKeepEveryDestination)
{
    for (const auto& [writers, rounds] : {std::pair{2, 20}, std::pair{8, 6}}) {
        for (int round = 0; round < rounds; ++round) {
            SCOPED_TRACE(std::to_string(writers) + " writers, round " + std::to_string(round));
            fs::remove_all(home.Folder());
            std::set<std::string> expected;
            std::vector<std::unique_ptr<RunningProgram>> running;
            for (int w = 0; w < writers; ++w) {
                std::string name = "w";
                name += std::to_string(w);
                expected.insert(name);
                running.push_back(std::make_unique<RunningProgram>(
                    Arguments({"add", "--name", name, "--destination", "ftp://h/" + name}),
                    Environment("")));
            }
            for (auto& program : running) {
                const ProgramResult result = program->Finish();
                EXPECT_EQ(0, result.status) << result.err;
            }
            std::set<std::string> saved;
            for (const ConnectProfileData& profile : ProfilesOnDisk())
                saved.insert(profile.dispName);
            ASSERT_EQ(expected, saved);
        }
    }
}

TEST_F(CliServersSafety, TheCommandLineAndTheDesktopControllerShareOneFile)
{
    ConnProfController desktop;
    ASSERT_TRUE(desktop.Init());
    ASSERT_TRUE(desktop.AddConnectProfile({"Desk", "ftp://desk/", false, "", ""}));
    ASSERT_EQ(0, Servers({"add", "--name", "Cli", "--destination", "\\\\nas\\share"}).status);
    // The desktop's next change keeps what the command line added.
    ASSERT_TRUE(desktop.AddConnectProfile({"Desk 2", "smb://nas/share", false, "", ""}));
    EXPECT_EQ((std::vector<std::string>{"Desk", "Cli", "Desk 2"}), Names(desktop));
    EXPECT_EQ("0\tDesk\tftp://desk/\n1\tCli\t\\\\nas\\share\n2\tDesk 2\tsmb://nas/share\n",
              Servers({"list"}).out);

    ASSERT_EQ(0, Servers({"delete", "0"}).status);
    // Index 1 is "Cli" as the desktop last saw the list; it is now at 0.
    ASSERT_TRUE(desktop.ModifyConnectProfile({"Cli renamed", "\\\\nas\\share", false, "", ""}, 1));
    EXPECT_EQ((std::vector<std::string>{"Cli renamed", "Desk 2"}), Names(desktop));
    EXPECT_EQ("0\tCli renamed\t\\\\nas\\share\n1\tDesk 2\tsmb://nas/share\n",
              Servers({"list"}).out);
}

TEST_F(CliServersSafety, ValuesAreHeldToTheEditDialogsRules)
{
    ASSERT_EQ(0, Servers({"add", "--name", "Kept", "--destination", "ftp://h/", "--user", "ann"},
                         "old secret")
                     .status);
    const std::string before = ReadFile(home.File());
    const std::string name127(127, 'n'), destination1024 = "ftp://h/" + std::string(1016, 'd');
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--name", "two\nlines", "--destination", "ftp://h/"}, ""},
        {{"--name", "x\rLIST:[0]", "--destination", "ftp://h/"}, ""},
        {{"--name", "bell\a", "--destination", "ftp://h/"}, ""},
        {{"--name", "c1 \xC2\x85", "--destination", "ftp://h/"}, ""},
        {{"--name", "n", "--destination", "ftp://h/\ttab"}, ""},
        {{"--name", "n", "--destination", "ftp://h/", "--user", "a\nb"}, "pw"},
        {{"--name", "n", "--destination", "ftp://h/", "--user", "ann"}, "line\nbreak"},
        {{"--name", "", "--destination", "ftp://h/"}, ""},
        {{"--name", "n", "--destination", ""}, ""},
        {{"--name", name127 + "n", "--destination", "ftp://h/"}, ""},
        {{"--name", "n", "--destination", destination1024 + "d"}, ""},
        {{"--name", "n", "--destination", "ftp://h/", "--user", std::string(257, 'u')}, "pw"},
        {{"--name", "n", "--destination", "ftp://h/", "--user", "ann"}, std::string(257, 'p')},
        {{"--name", "n", "--destination", "/home/ann/slides"}, ""},
        {{"--name", "n", "--destination", "http://h/"}, ""},
        {{"--name", "n", "--destination", "ftp://h/", "--user", ""}, "pw"},
        {{"--name", "n", "--destination", "ftp://h/", "--user", "ann"}, "pässword"},
        // --user with neither KORVANTA_PASSWORD nor a terminal to ask at.
        {{"--name", "n", "--destination", "ftp://h/", "--user", "ann"}, ""},
    };
    for (const auto& [options, password] : refused) {
        std::vector<std::string> arguments = {"add"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ProgramResult result = Servers(arguments, password);
        SCOPED_TRACE(options[1] + " | " + options[3] + " | " + password);
        EXPECT_EQ(2, result.status);
        EXPECT_NE(std::string::npos, result.err.find("korvanta-cli: servers add: ")) << result.err;
    }
    EXPECT_EQ(before, ReadFile(home.File()));

    // Exactly at the limits, with every kind of destination.
    EXPECT_EQ(0, Servers({"add", "--name", name127, "--destination", destination1024, "--user",
                          std::string(256, 'u')},
                         std::string(255, 'p') + " ")
                     .status);
    EXPECT_EQ(0, Servers({"add", "--name", "s", "--destination", "SMB://nas/s"}).status);
    EXPECT_EQ(0, Servers({"add", "--name", "u", "--destination", "\\\\nas\\s"}).status);
    EXPECT_EQ(4u, ProfilesOnDisk().size());

    // An edit that names no new password keeps the saved one.
    EXPECT_EQ(2, Servers({"edit", "0", "--name", "two\nlines"}).status);
    EXPECT_EQ(2, Servers({"edit", "0", "--destination", "nowhere"}).status);
    ASSERT_EQ(0, Servers({"edit", "0", "--user", "bob"}).status);
    EXPECT_EQ((ConnectProfileData{"Kept", "ftp://h/", true, "bob", "old secret"}),
              ProfilesOnDisk()[0]);
    ASSERT_EQ(0, Servers({"edit", "0", "--user", "bob"}, "new secret").status);
    EXPECT_EQ("new secret", ProfilesOnDisk()[0].password);
}

TEST_F(CliServersSafety, AnUnreadableFileIsReportedAndLeftAlone)
{
    ASSERT_EQ(0, Servers({"add", "--name", "Precious", "--destination", "ftp://h/"}).status);
    GiveToNobody(home);
    fs::permissions(home.File(), fs::perms::none);
    const std::string before = ReadFile(home.File());
    ASSERT_NE(0, RunAsUnprivileged([file = home.File()] { return ::access(file.c_str(), R_OK); }));

    const ProgramResult listed = Servers({"list"}, "", true);
    EXPECT_EQ(1, listed.status);
    EXPECT_EQ("", listed.out);
    EXPECT_NE(std::string::npos, listed.err.find("cannot be read")) << listed.err;
    const ProgramResult added =
        Servers({"add", "--name", "New", "--destination", "ftp://n/"}, "", true);
    EXPECT_EQ(1, added.status);
    EXPECT_EQ(before, ReadFile(home.File()));
}

TEST_F(CliServersSafety, AFifoInThePlaceOfTheFileGetsAQuickAnswer)
{
    fs::create_directories(home.Folder());
    ASSERT_EQ(0, ::mkfifo(home.File().c_str(), 0600));
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult listed = Servers({"list"});
    const ProgramResult added = Servers({"add", "--name", "New", "--destination", "ftp://n/"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(1, listed.status);
    EXPECT_EQ(1, added.status);
    struct stat info
    {};
    ASSERT_EQ(0, ::lstat(home.File().c_str(), &info));
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
