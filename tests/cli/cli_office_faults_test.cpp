#include "tests/cli/cli_test_support.h"
#include "tests/support/our_offices.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const auto kOfficesGone = 10s;

// Runs of the command line beside each other, in one temporary-files folder,
// killed or hung on purpose.
class OfficeFaults : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    std::map<std::string, std::string> Environment(const std::string& lanes = "2") const
    {
        return {{"TMPDIR", temp.Path().string()},
                {"XDG_CONFIG_HOME", config.Path().string()},
                {"KORVANTA_OFFICE_LANES", lanes},
                {"LANG", "C"}};
    }

    std::unique_ptr<RunningProgram> StartConvert(const std::string& deck, const std::string& to,
                                                 const std::string& lanes = "2")
    {
        fs::create_directories(output / to);
        return std::make_unique<RunningProgram>(
            Cli({"convert", TestDeck(deck).string(), "--to", (output / to).string()}),
            Environment(lanes));
    }

    int ImagesIn(const std::string& to, const std::string& deck) const
    {
        const fs::path folder = output / to / fs::path(deck).stem();
        std::error_code error;
        return static_cast<int>(
            std::distance(fs::directory_iterator(folder, error), fs::directory_iterator()));
    }

    // True once a run's export has written an image into its working folder.
    bool ExportUnderWay() const
    {
        std::error_code error;
        for (const auto& work : fs::directory_iterator(temp.Path(), error))
            for (const auto& images : fs::directory_iterator(work.path(), error))
                if (!fs::is_empty(images.path(), error))
                    return true;
        return false;
    }

    // Waits until the run's export is under way; fails, with what the run
    // said, when it ended before.
    void AwaitExport(RunningProgram& run)
    {
        const auto ended = [&run] {
            const std::string stat = ReadFile("/proc/" + std::to_string(run.Pid()) + "/stat");
            return stat.empty() || stat.find(") Z ") != std::string::npos;
        };
        ASSERT_TRUE(WaitUntil([&] { return ExportUnderWay() || ended(); }, 120s));
        ASSERT_TRUE(ExportUnderWay()) << "the run ended first: " << run.Finish().err;
    }

    ProgramResult Office(const std::string& action, std::map<std::string, std::string> environment)
    {
        return RunProgram(Cli({"office", action}), environment);
    }

    TempFolder temp;
    TempFolder config;
    TempFolder output;
};

void KillGroup(pid_t member)
{
    const pid_t group = ::getpgid(member);
    ::kill(group > 0 ? -group : member, SIGKILL);
}

} // namespace

TEST_F(OfficeFaults, RunsAtOnceNeverBreakEachOtherColdOrWarm)
{
    for (const bool warm : {false, true}) {
        SCOPED_TRACE(warm ? "warm" : "cold");
        if (warm) {
            ASSERT_EQ(0, Office("start", Environment()).status);
        }
        const std::string round = warm ? "warm-" : "cold-";
        auto first = StartConvert("office-families.pptx", round + "1");
        auto second = StartConvert("office-families.ppt", round + "2");
        std::this_thread::sleep_for(1500ms);
        auto late = StartConvert("standard.pptx", round + "3");
        for (auto* run : {first.get(), second.get(), late.get()}) {
            const ProgramResult result = run->Finish();
            EXPECT_EQ(0, result.status) << result.err;
        }
        EXPECT_EQ(20, ImagesIn(round + "1", "office-families.pptx"));
        EXPECT_EQ(20, ImagesIn(round + "2", "office-families.ppt"));
        EXPECT_EQ(9, ImagesIn(round + "3", "standard.pptx"));
        EXPECT_EQ(warm, SharedOffice(0) != 0) << "a run stopped the shared offices";
        if (warm) {
            EXPECT_EQ(0, Office("stop", Environment()).status);
        }
        EXPECT_TRUE(fs::is_empty(temp.Path())) << "a working folder was left behind";
    }
}

TEST_F(OfficeFaults, RunsSharingOneOfficeEachGetTheImagesOfTheirOwnDeck)
{
    // Alone first, then two runs at once through the one shared office.
    for (const char* deck : {"office-families.pptx", "standard.ppt"})
        EXPECT_EQ(0, StartConvert(deck, "alone", "1")->Finish().status);
    ASSERT_EQ(0, Office("start", Environment("1")).status);
    auto first = StartConvert("office-families.pptx", "together", "1");
    auto second = StartConvert("standard.ppt", "together", "1");
    EXPECT_EQ(0, first->Finish().status);
    EXPECT_EQ(0, second->Finish().status);
    EXPECT_EQ(0, Office("stop", Environment("1")).status);

    for (const auto& [deck, slides] : {std::pair{"office-families", 20}, {"standard", 9}}) {
        SCOPED_TRACE(deck);
        ASSERT_EQ(slides, ImagesIn("together", deck));
        for (const auto& image : fs::directory_iterator(output / "alone" / deck))
            EXPECT_EQ(ReadFile(image.path()),
                      ReadFile(output / "together" / deck / image.path().filename()))
                << image.path().filename();
    }
}

TEST_F(OfficeFaults, AKilledRunLeavesNoOfficeAndTheNextRunRemovesItsFolder)
{
    auto run = StartConvert("office-families.pptx", "killed");
    ASSERT_NO_FATAL_FAILURE(AwaitExport(*run));
    run->Signal(SIGKILL);
    run->Finish();
    EXPECT_TRUE(WaitUntil([] { return office::FindAnyOfficeProcess() == 0; }, kOfficesGone))
        << "the killed run's offices outlived it";
    EXPECT_FALSE(fs::is_empty(temp.Path())) << "nothing was left to clean up";

    auto next = StartConvert("widescreen.pptx", "next");
    EXPECT_EQ(0, next->Finish().status);
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "the killed run's folder is still there";
    EXPECT_EQ(2, ImagesIn("next", "widescreen.pptx"));
}

TEST_F(OfficeFaults, TermAndHangUpStopARunLikeCtrlC)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        auto run = StartConvert("office-families.pptx", "stopped");
        ASSERT_NO_FATAL_FAILURE(AwaitExport(*run));
        run->Signal(signal);
        const auto asked = std::chrono::steady_clock::now();
        const ProgramResult result = run->Finish();
        EXPECT_LT(std::chrono::steady_clock::now() - asked, kOfficesGone);
        EXPECT_EQ(1, result.status) << result.err;
        EXPECT_EQ("", result.out);
        EXPECT_EQ(0, office::FindAnyOfficeProcess());
        EXPECT_TRUE(fs::is_empty(temp.Path())) << "its working folder was left behind";
    }
}

TEST_F(OfficeFaults, ASecondCtrlCEndsARunThatWaitsOnAHungOffice)
{
    ASSERT_EQ(0, Office("start", Environment("1")).status);
    const pid_t hung = SharedOffice(0);
    ASSERT_NE(0, hung);
    ASSERT_EQ(0, ::kill(hung, SIGSTOP));

    auto run = StartConvert("office-families.pptx", "hung", "1");
    ASSERT_TRUE(WaitUntil([&] { return !fs::is_empty(temp.Path()); }, 30s));
    run->Signal(SIGINT);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(fs::is_empty(temp.Path())) << "the run ended before the office answered";
    run->Signal(SIGINT);
    const auto asked = std::chrono::steady_clock::now();
    const ProgramResult result = run->Finish();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
    EXPECT_EQ(1, result.status) << result.err;
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "its working folder was left behind";

    KillGroup(hung);
    EXPECT_TRUE(WaitUntil([] { return SharedOffice(0) == 0; }, kOfficesGone));
}

TEST_F(OfficeFaults, AnotherCacheFolderNeverSeesOrStopsOurOffices)
{
    ASSERT_EQ(0, Office("start", Environment("1")).status);
    const pid_t ours = SharedOffice(0);
    ASSERT_NE(0, ours);

    TempFolder otherCache;
    auto other = Environment("1");
    other["XDG_CACHE_HOME"] = otherCache.Path().string();
    EXPECT_EQ("0\tstopped\n", Office("status", other).out);
    fs::create_directory(output / "other");
    const auto converted = RunProgram(Cli({"convert", TestDeck("office-families.pptx").string(),
                                           "--to", (output / "other").string()}),
                                      other);
    EXPECT_EQ(0, converted.status) << converted.err;
    EXPECT_EQ(20, ImagesIn("other", "office-families.pptx"));
    EXPECT_EQ(0, Office("stop", other).status);
    EXPECT_EQ(ours, SharedOffice(0)) << "another cache folder's run touched our office";
    EXPECT_EQ(0, AnyOfficeOfCacheFolder(otherCache.Path())) << "the other run left its office";

    EXPECT_EQ(0, Office("stop", Environment("1")).status);
    EXPECT_EQ(0, SharedOffice(0));
}
