#include "convert/deck_watch.h"
#include "convert/libreoffice/office_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/test_decks.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int Images(const fs::path& folder)
{
    std::error_code error;
    int count = 0;
    for (auto entry = fs::directory_iterator(folder, error); entry != fs::directory_iterator();
         entry.increment(error))
        count += entry->path().extension() == ".jpg";
    return count;
}

// korvanta-cli watch on a folder of its own, publishing to a local folder.
class CliWatch : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(fs::is_empty(temp.Path())) << "a working folder was left behind";
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    std::unique_ptr<RunningProgram> StartWatch()
    {
        return std::make_unique<RunningProgram>(
            Cli({"watch", "--log", decks.Path().string(), "--to", output.Path().string()}),
            std::map<std::string, std::string>{{"TMPDIR", temp.Path().string()},
                                               {"XDG_CONFIG_HOME", config.Path().string()},
                                               {"LANG", "C"}});
    }

    TempFolder temp;
    TempFolder config;
    TempFolder decks;
    TempFolder output;
};

} // namespace

TEST(WatchedDecks, PresentationsOnlyAndNoEditorsTemporaryFiles)
{
    for (const char* name : {"Talk.pptx", "Talk.PPSX", "plan.final.odp", "a.ppt"})
        EXPECT_TRUE(IsWatchedDeck(name)) << name;
    for (const char* name : {"notes.txt", ".hidden.pptx", "~$Talk.pptx", ".~lock.Talk.pptx#",
                             "Talk.pptx.part", "Talk.pptx~", ""})
        EXPECT_FALSE(IsWatchedDeck(name)) << name;
}

TEST_F(CliWatch, ADeckWrittenSlowlyIsPublishedOnceAReplacedOneAgainAndAFailedOneWhenItChanges)
{
    auto watch = StartWatch();
    // Written in chunks over two seconds, the file kept open.
    {
        const std::string deck = ReadFile(TestDeck("standard.pptx"));
        std::ofstream out(decks / "Talk.pptx", std::ios::binary);
        const std::size_t chunk = deck.size() / 4 + 1;
        for (std::size_t at = 0; at < deck.size(); at += chunk) {
            out.write(deck.data() + at, std::min(chunk, deck.size() - at));
            out.flush();
            std::this_thread::sleep_for(500ms);
        }
    }
    WriteFile(decks / "notes.txt", "not a deck");
    WriteFile(decks / ".~lock.Talk.pptx#", "an office's lock");
    ASSERT_TRUE(WaitUntil([&] { return Images(output / "Talk") == 9; }, 120s));

    // Replaced in one step by a deck of two slides.
    fs::copy_file(TestDeck("widescreen.pptx"), decks / ".incoming");
    fs::rename(decks / ".incoming", decks / "Talk.pptx");
    ASSERT_TRUE(WaitUntil([&] { return Images(output / "Talk") == 2; }, 120s));

    // A damaged deck fails once, and is tried again when it changes.
    WriteFile(decks / "Bad.pptx", "not a presentation");
    std::this_thread::sleep_for(4s);
    fs::copy_file(TestDeck("widescreen.pptx"), decks / ".incoming");
    fs::rename(decks / ".incoming", decks / "Bad.pptx");
    ASSERT_TRUE(WaitUntil([&] { return Images(output / "Bad") == 2; }, 120s));
    // Time for a publish that should not come.
    std::this_thread::sleep_for(2500ms);

    watch->Signal(SIGTERM);
    const auto result = watch->Finish();
    EXPECT_EQ(0, result.status) << result.err;
    EXPECT_EQ("korvanta-cli: " + (decks / "Bad.pptx").string() + ": Failed to convert the file.\n",
              result.err);
    const auto lines = Lines(result.out);
    ASSERT_EQ(3u, lines.size()) << result.out;
    for (int line = 0; line < 2; ++line)
        EXPECT_NE(std::string::npos, lines[line].find("  Talk.pptx  " + (output / "Talk").string()))
            << lines[line];
    EXPECT_NE(std::string::npos, lines[2].find("  Bad.pptx  " + (output / "Bad").string()));
}

TEST_F(CliWatch, ATermDuringAPublishEndsSoonWithAWholeSet)
{
    // Published earlier: two slides.
    fs::create_directories(output / "Talk");
    for (const char* slide : {"slide1.jpg", "slide2.jpg"})
        WriteFile(output / "Talk" / slide, "an image");
    auto watch = StartWatch();
    fs::copy_file(TestDeck("office-families.pptx"), decks / ".incoming");
    fs::rename(decks / ".incoming", decks / "Talk.pptx");
    // The export has begun once the run has its working folder.
    if (!WaitUntil([&] { return !fs::is_empty(temp.Path()); }, 60s)) {
        watch->Signal(SIGTERM);
        const auto result = watch->Finish();
        FAIL() << "no export began: " << result.out << result.err;
    }
    const auto signalled = std::chrono::steady_clock::now();
    watch->Signal(SIGTERM);
    const auto result = watch->Finish();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 5s);
    const int images = Images(output / "Talk");
    EXPECT_TRUE(images == 2 || images == 20) << images << " images";
}
