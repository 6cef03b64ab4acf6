// The manual pages as man shows them, against the program: every command,
// action and option its --help shows is in the page, the page names no option
// the program does not take, and the exit status table gives every result
// code with the message the program prints for it.

#include "tests/cli/cli_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

#include "cli/command.h"
#include "convert/result_codes.h"
#include "platform/string_resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The page as man shows it, wide enough for one line per paragraph and
// table row.
ProgramResult ShowPage(const std::string& page)
{
    return RunProgram({"/usr/bin/man", "--warnings", "-l",
                       (fs::path(KORVANTA_MAN_DIR) / (page + ".1.gz")).string()},
                      {{"MANWIDTH", "1000"}, {"LC_ALL", "C.UTF-8"}, {"MANPAGER", "cat"}});
}

std::set<std::string> LongOptions(const std::string& text)
{
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert(it->str());
    return options;
}

std::string Help(const std::vector<std::string>& arguments)
{
    const ProgramResult help = RunProgram(Cli(arguments), {{"LC_ALL", "C"}});
    EXPECT_EQ(0, help.status) << help.err;
    return help.out;
}

// The commands "korvanta-cli --help" lists, each on a line of its own.
std::vector<std::string> Commands()
{
    static const std::regex command("  ([a-z]+)  .*");
    std::vector<std::string> commands;
    std::smatch match;
    for (const std::string& line : Lines(Help({"--help"})))
        if (std::regex_match(line, match, command))
            commands.push_back(match[1]);
    return commands;
}

// The actions of a usage line "Usage: korvanta-cli servers [options] a|b|c".
std::vector<std::string> Actions(const std::string& help)
{
    static const std::regex usage(R"(Usage: \S+ \S+ \[options\] ([a-z]+(\|[a-z]+)+).*)");
    std::smatch match;
    const std::string first = Lines(help).front();
    if (!std::regex_match(first, match, usage))
        return {};
    std::vector<std::string> actions;
    std::istringstream in(match[1]);
    for (std::string action; std::getline(in, action, '|');)
        actions.push_back(action);
    return actions;
}

// Whether a line of the page starts an entry with text, at the indent of
// entries under a section heading.
bool HasEntry(const std::string& page, const std::string& text)
{
    return page.find("\n       " + text) != std::string::npos;
}

// The rows of the exit status table: code and meaning.
std::map<int, std::string> ExitStatusRows(const std::string& page)
{
    static const std::regex row(R"(\s*│(\d+)\s*│ (.*\S)\s*│)");
    std::map<int, std::string> rows;
    std::smatch match;
    for (const std::string& line : Lines(page))
        if (std::regex_match(line, match, row))
            rows[std::stoi(match[1])] = match[2];
    return rows;
}

// The values of the result code enumeration.
std::set<int> ResultCodes()
{
    static const std::regex value(R"(RESULT_\w+ = (\d+),)");
    const std::string header = ReadFile(KORVANTA_SOURCE_DIR "/convert/result_codes.h");
    std::set<int> codes;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), value);
         it != std::sregex_iterator(); ++it)
        codes.insert(std::stoi((*it)[1]));
    return codes;
}

} // namespace

TEST(ManPages, FormatWithoutWarnings)
{
    for (const std::string page : {"korvanta", "korvanta-cli"}) {
        const ProgramResult shown = ShowPage(page);
        EXPECT_EQ(0, shown.status) << page;
        EXPECT_EQ("", shown.err) << page;
        EXPECT_NE(std::string::npos, shown.out.find("NAME\n       " + page + " - ")) << page;
    }
    EXPECT_NE(std::string::npos, ShowPage("korvanta").out.find("\n       -LOG\n"));
}

TEST(CliManPage, ShowsEveryCommandActionAndOptionOfTheHelp)
{
    const std::string page = ShowPage("korvanta-cli").out;
    const std::set<std::string> pageOptions = LongOptions(page);
    const std::vector<std::string> commands = Commands();
    ASSERT_FALSE(commands.empty());
    for (const std::string& command : commands) {
        EXPECT_NE(std::string::npos, page.find("korvanta-cli " + command)) << command;
        const std::string help = Help({command, "--help"});
        for (const std::string& option : LongOptions(help))
            EXPECT_TRUE(pageOptions.count(option)) << command << " " << option;
        // Each command, or each action of it, has its entry under COMMANDS.
        const std::vector<std::string> actions = Actions(help);
        EXPECT_TRUE(!actions.empty() || HasEntry(page, command + " ")) << command;
        for (const std::string& action : actions)
            EXPECT_TRUE(HasEntry(page, command + " " + action)) << command << " " << action;
    }
}

TEST(CliManPage, NamesOnlyOptionsTheProgramTakes)
{
    std::set<std::string> taken;
    for (const std::string& command : Commands())
        taken.merge(LongOptions(Help({command, "--help"})));
    for (const std::string& option : LongOptions(ShowPage("korvanta-cli").out)) {
        if (taken.count(option))
            continue;
        // Not an option of a command: then one of the program itself.
        EXPECT_EQ(0, RunProgram(Cli({option})).status) << option;
    }
}

TEST(CliManPage, GivesEveryResultCodeWithItsMessage)
{
    ASSERT_TRUE(platform::SelectStringTable(platform::kEnglishStringTable));
    const auto rows = ExitStatusRows(ShowPage("korvanta-cli").out);
    const std::set<int> codes = ResultCodes();
    ASSERT_GT(codes.size(), 10u);
    for (const int code : codes) {
        ASSERT_TRUE(rows.count(code)) << code;
        // Success and a cancel print no message.
        const std::string message = platform::ResultMessage(code);
        const bool printed = !message.empty() && code != RESULT_SUCCESS;
        EXPECT_TRUE(!printed || rows.at(code).find('"' + message + '"') != std::string::npos)
            << code << ": " << message;
    }
    EXPECT_TRUE(rows.count(kUsageError));
    for (const auto& [code, meaning] : rows)
        EXPECT_TRUE(codes.count(code) || code == kUsageError) << code << " " << meaning;
}
