// The bash completion of korvanta-cli, loaded by the real bash-completion in a
// real bash and asking the real program, as a user's Tab key does.

#include "tests/cli/cli_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Words = std::vector<std::string>;

// Completes the last word, with the words before it typed after korvanta-cli,
// in the decks folder.
const char* const kCompleteScript = R"(
source /usr/share/bash-completion/bash_completion
source "$COMPLETION"
cd "$DECKS"
COMP_WORDS=("$@")
COMP_CWORD=$(($# - 1))
COMP_LINE="$*"
COMP_POINT=${#COMP_LINE}
_korvanta_cli "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
)";

class Completion : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(decks / "talks");
        for (const char* file :
             {"a.pptx", "b.ppt", "C.PPTX", "d.PPSX", "e.odp", "notes.txt", "deck.pptx.bak"})
            WriteFile(decks / file, "");
    }

    std::map<std::string, std::string> Environment() const
    {
        return {{"XDG_CONFIG_HOME", config.Path().string()},
                {"COMPLETION", KORVANTA_SOURCE_DIR "/res/completion/korvanta-cli"},
                {"DECKS", decks.Path().string()},
                {"LC_ALL", "C"}};
    }

    // What Tab offers for the last of words, sorted.
    Words Complete(Words words) const
    {
        words.insert(words.begin(), {"/bin/bash", "-c", kCompleteScript, "bash", KORVANTA_CLI});
        const ProgramResult result = RunProgram(words, Environment());
        EXPECT_EQ(0, result.status) << result.err;
        Words offered = Lines(result.out);
        std::erase(offered, "");
        std::sort(offered.begin(), offered.end());
        return offered;
    }

    void SaveDestination(const std::string& name)
    {
        const ProgramResult added = RunProgram(
            Cli({"servers", "add", "--name", name, "--destination", "ftp://host/" + name}),
            Environment());
        ASSERT_EQ(0, added.status) << added.err;
    }

    TempFolder config;
    TempFolder decks;
};

} // namespace

TEST_F(Completion, IsRegisteredForTheProgram)
{
    const ProgramResult result =
        RunProgram({"/bin/bash", "-c",
                    "source /usr/share/bash-completion/bash_completion; source \"$COMPLETION\"; "
                    "complete -p korvanta-cli"},
                   Environment());
    EXPECT_EQ("complete -F _korvanta_cli korvanta-cli\n", result.out) << result.err;
}

TEST_F(Completion, OffersTheCommandsAndTheirOptions)
{
    EXPECT_EQ((Words{"--help", "--version", "convert", "office", "open", "servers", "watch"}),
              Complete({""}));
    EXPECT_EQ((Words{"servers"}), Complete({"se"}));
    EXPECT_EQ((Words{"--server", "--sftp", "--share"}), Complete({"convert", "--s"}));
    EXPECT_EQ((Words{"--destination", "--help", "--json", "--name", "--no-login", "--user",
                     "--yes"}),
              Complete({"servers", "--"}));
    EXPECT_EQ((Words{"--help"}), Complete({"office", "-"}));
}

TEST_F(Completion, OffersTheActionsOfACommand)
{
    EXPECT_EQ((Words{"add", "delete", "edit", "list", "trust"}), Complete({"servers", ""}));
    // An option's value is not the action.
    EXPECT_EQ((Words{"add", "delete", "edit", "list", "trust"}),
              Complete({"servers", "--name", "x", ""}));
    EXPECT_EQ((Words{"start", "status", "stop"}), Complete({"office", ""}));
    EXPECT_EQ((Words{}), Complete({"office", "start", ""}));
}

TEST_F(Completion, OffersPresentationsAndFoldersAsSources)
{
    EXPECT_EQ((Words{"C.PPTX", "a.pptx", "b.ppt", "d.PPSX", "e.odp", "talks"}),
              Complete({"convert", ""}));
    EXPECT_EQ((Words{"C.PPTX", "a.pptx", "b.ppt", "d.PPSX", "e.odp", "talks"}),
              Complete({"convert", "--to", "out", "a.pptx", ""}));
    EXPECT_EQ((Words{"talks"}), Complete({"convert", "--to", ""}));
    // A watch is given a folder.
    EXPECT_EQ((Words{"talks"}), Complete({"watch", ""}));
}

TEST_F(Completion, OffersTheSavedDestinationsAfterServer)
{
    SaveDestination("Office Main");
    SaveDestination("Lab");
    EXPECT_EQ((Words{"Lab", "Office\\ Main"}), Complete({"convert", "--server", ""}));
    EXPECT_EQ((Words{"Office\\ Main"}), Complete({"convert", "--server", "Of"}));
    EXPECT_EQ((Words{"Office\\ Main"}), Complete({"open", "--server", "Office\\ M"}));
    EXPECT_EQ((Words{"0", "1"}), Complete({"servers", "edit", ""}));
    // Free text has nothing to offer.
    EXPECT_EQ((Words{}), Complete({"convert", "--ftp", ""}));
}
