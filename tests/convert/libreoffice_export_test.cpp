#include "convert/automation.h"
#include "convert/com_apartment_guard.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_process.h"
#include "convert/office_session.h"
#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "platform/folder_events.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/our_offices.h"
#include "tests/support/run_program.h"
#include "tests/support/shared_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> NamesFor(int count)
{
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n)
        names.push_back(SlideImageName(n, SlideNumberDigits(count)));
    std::sort(names.begin(), names.end());
    return names;
}

class LibreOfficeExport : public ::testing::Test
{
protected:
    void TearDown() override
    {
        LibreOfficeServer::Instance().SetTimeouts({});
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    int Export(const fs::path& deck)
    {
        fs::remove_all(images.Path());
        fs::create_directory(images.Path());
        const PptToJpegData data{deck.string(), images.Path().string(), 1280, 800};
        return fnjgConvetPptToJpeg(&data, &cancel);
    }

    // Each deck gives one JPEG a slide, named and sized as asked, and no
    // office is left behind.
    void ExpectExactImages(const std::vector<std::pair<fs::path, int>>& decks)
    {
        for (const auto& [deck, slides] : decks) {
            SCOPED_TRACE(deck);
            ASSERT_EQ(RESULT_SUCCESS, Export(deck));
            ASSERT_EQ(NamesFor(slides), ImageNames());
            for (const auto& name : ImageNames()) {
                const JpegSize size = ReadJpegSize(images / name);
                EXPECT_TRUE(size.valid) << name;
                EXPECT_EQ(1280, size.width) << name;
                EXPECT_EQ(800, size.height) << name;
            }
            EXPECT_EQ(0, office::FindAnyOfficeProcess());
        }
    }

    // A deck that cannot be opened fails with its code, writes nothing and
    // leaves no office behind.
    void ExpectFailure(const fs::path& deck, int code)
    {
        SCOPED_TRACE(deck);
        EXPECT_EQ(code, Export(deck));
        EXPECT_TRUE(ImageNames().empty());
        EXPECT_EQ(0, office::FindAnyOfficeProcess());
    }

    std::vector<std::string> ImageNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(images.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder images;
    std::atomic<int> cancel{0};
};

} // namespace

TEST_F(LibreOfficeExport, EverySlideBecomesAJpegOfExactlyTheRequestedSize)
{
    // 16:9 and 4:3, one and two digits, a hidden slide, CJK text, a picture.
    ExpectExactImages({{TestDeck("widescreen.pptx"), 2},
                       {TestDeck("widescreen.ppt"), 2},
                       {TestDeck("standard.pptx"), 9},
                       {TestDeck("standard.ppt"), 9},
                       {TestDeck("office-families.pptx"), 20},
                       {TestDeck("office-families.ppt"), 20}});
}

TEST_F(LibreOfficeExport, EverySlideOfARealDeckBecomesAJpegOfExactlyTheRequestedSize)
{
    REQUIRE_SHARED("decks");
    ExpectExactImages({{SharedDeck("SampleShow.pptx"), 2},
                       {SharedDeck("SampleShow.ppt"), 2},
                       {SharedDeck("aptia.pptx"), 9},
                       {SharedDeck("themes.pptx"), 10},
                       {SharedDeck("empty.ppt"), 1},
                       {SharedDeck("no-slides.pptx"), 1}});
}

TEST_F(LibreOfficeExport, EncryptedAndDamagedDecksFailWithoutLeavingAnOffice)
{
    ExpectFailure(TestDeck("damaged.ppt"), RESULT_APPLICATION_FAILED);
    ExpectFailure(TestDeck("damaged.pptx"), RESULT_APPLICATION_FAILED);
    // The office throws on an encrypted package instead of returning nothing.
    ExpectFailure(TestDeck("password-protected.pptx"), RESULT_CONVERSION_FAILED);
}

TEST_F(LibreOfficeExport, RealEncryptedAndDamagedDecksFailWithoutLeavingAnOffice)
{
    REQUIRE_SHARED("decks");
    for (const std::string deck :
         {"password-protected.ppt", "corrupt-fuzz-1.ppt", "corrupt-fuzz-2.pptx"})
        ExpectFailure(SharedDeck(deck), RESULT_APPLICATION_FAILED);
}

TEST_F(LibreOfficeExport, ARunningOfficeOfOursIsReusedAndLeftRunning)
{
    Application application(LibreOfficeServer::Instance());
    ASSERT_TRUE(application.CreateDispatch());
    const pid_t running = OwnOffice();
    ASSERT_NE(0, running);
    EXPECT_EQ(1, actCheckPptRunning());

    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("widescreen.pptx")));
    EXPECT_EQ(running, OwnOffice());
    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("standard.pptx")));
    EXPECT_EQ(running, OwnOffice());

    application.Quit();
    EXPECT_EQ(0, actCheckPptRunning());
}

TEST_F(LibreOfficeExport, AnOfficeThatDiedBetweenConversionsIsReplaced)
{
    Application application(LibreOfficeServer::Instance());
    ASSERT_TRUE(application.CreateDispatch());
    const pid_t crashed = OwnOffice();
    ASSERT_NE(0, crashed);
    ::kill(crashed, SIGKILL);
    application.ReleaseDispatch();
    // Between conversions: gone before the next one starts.
    ASSERT_TRUE(WaitUntil([&] { return office::HasEnded(crashed); }, 5s));

    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("widescreen.ppt")));
    EXPECT_EQ(NamesFor(2), ImageNames());
}

TEST_F(LibreOfficeExport, AnOfficeKilledInTheMiddleOfADeckFailsTheExportAndIsReplaced)
{
    struct KillAtThirdSlide : ExportObserver
    {
        void SlideWritten(int written, int) override
        {
            if (written == 3)
                ::kill(OwnOffice(), SIGKILL);
        }
    } killer;
    LibreOfficeServer::Instance().SetLaneCount(1);
    fs::create_directory(images.Path());
    const PptToJpegData data{TestDeck("office-families.pptx").string(), images.Path().string(),
                             1280, 800};
    EXPECT_EQ(RESULT_CONVERSION_FAILED, fnjgConvetPptToJpeg(&data, &cancel, &killer));
    EXPECT_EQ(0, office::FindAnyOfficeProcess());

    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("office-families.pptx")));
    EXPECT_EQ(NamesFor(20), ImageNames());
}

TEST_F(LibreOfficeExport, TheDecksFolderIsOnlyRead)
{
    // No lock file beside the deck, and not even an open for writing, which
    // a watch of the folder would take for a changed deck.
    TempFolder decks;
    fs::copy_file(TestDeck("standard.ppt"), decks / "Talk.ppt");
    FolderEvents events(decks.Path().string());
    EXPECT_EQ(RESULT_SUCCESS, Export(decks / "Talk.ppt"));
    EXPECT_EQ(std::vector<std::string>{}, events.Wait(200ms));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(decks.Path()), {}));
}

TEST_F(LibreOfficeExport, WatchdogKillsAnExportThatTakesTooLong)
{
    OfficeTimeouts tiny;
    tiny.slide = 1ms;
    LibreOfficeServer::Instance().SetTimeouts(tiny);
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(TestDeck("office-families.pptx")));

    EXPECT_EQ(0, office::FindAnyOfficeProcess());
    LibreOfficeServer::Instance().SetTimeouts({});
    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("office-families.pptx")));
    EXPECT_EQ(NamesFor(20), ImageNames());
}

TEST_F(LibreOfficeExport, AUsersOwnOfficeIsNeitherUsedNorQuit)
{
    TempFolder profile;
    const std::string pipe = "users-own-office-" + std::to_string(::getpid());
    const pid_t users = ::fork();
    ASSERT_GE(users, 0);
    if (users == 0) {
        ::setpgid(0, 0);
        const std::string program = std::string(LIBREOFFICE_PROGRAM_DIR) + "/soffice";
        const std::string profileArgument =
            "-env:UserInstallation=file://" + profile.Path().string();
        const std::string accept = "--accept=pipe,name=" + pipe + ";urp;";
        ::execl(program.c_str(), program.c_str(), "--headless", "--norestore",
                profileArgument.c_str(), accept.c_str(), nullptr);
        ::_exit(127);
    }
    const fs::path pipeFile = "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_" + pipe;
    for (int i = 0; i < 600 && !fs::exists(pipeFile); ++i)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(pipeFile)) << "the user's office did not start";
    EXPECT_EQ(0, actCheckPptRunning());

    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("widescreen.pptx")));

    EXPECT_EQ(0, ::waitpid(users, nullptr, WNOHANG)) << "the user's office was quit";
    ::kill(-users, SIGKILL);
    ::waitpid(users, nullptr, 0);
}

TEST_F(LibreOfficeExport, TwoOfficesShareTheSlidesOfOneDeck)
{
    struct SecondOfficeSeen : ExportObserver
    {
        void SlideWritten(int, int) override { seen = seen || OwnOffice(1) != 0; }
        bool seen = false;
    } observer;
    LibreOfficeServer::Instance().SetLaneCount(2);
    fs::create_directory(images.Path());
    const PptToJpegData data{TestDeck("office-families.pptx").string(), images.Path().string(),
                             1280, 800};
    EXPECT_EQ(RESULT_SUCCESS, fnjgConvetPptToJpeg(&data, &cancel, &observer));
    EXPECT_TRUE(observer.seen);
    EXPECT_EQ(NamesFor(20), ImageNames());

    LibreOfficeServer::Instance().SetLaneCount(1);
    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("standard.pptx")));
    EXPECT_EQ(NamesFor(9), ImageNames());
}

TEST(ComApartmentGuard, BringsTheRuntimeUpOnce)
{
    auto first = ComApartmentGuard::Create();
    ASSERT_NE(nullptr, first);
    auto second = ComApartmentGuard::Create();
    ASSERT_NE(nullptr, second);
    EXPECT_FALSE(second->initialized);
}

TEST_F(LibreOfficeExport, AHungOfficeEndsTheExportWithinItsBoundsAndIsReplaced)
{
    const std::map<std::string, std::string> oneLane = {{"KORVANTA_OFFICE_LANES", "1"}};
    ASSERT_EQ(0, RunProgram({KORVANTA_CLI, "office", "start"}, oneLane).status);
    const pid_t hung = SharedOffice(0);
    ASSERT_NE(0, hung);
    ASSERT_EQ(0, ::kill(hung, SIGSTOP));

    LibreOfficeServer::Instance().SetLaneCount(1);
    OfficeTimeouts shortBounds;
    shortBounds.connect = 1500ms;
    shortBounds.call = 1500ms;
    LibreOfficeServer::Instance().SetTimeouts(shortBounds);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(TestDeck("widescreen.pptx")));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_TRUE(WaitUntil([] { return SharedOffice(0) == 0; }, 5s)) << "the hung office lives";
    EXPECT_TRUE(ImageNames().empty());

    LibreOfficeServer::Instance().SetTimeouts({});
    EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("widescreen.pptx")));
    EXPECT_EQ(NamesFor(2), ImageNames());
}

TEST_F(LibreOfficeExport, AnOfficeIsReplacedAfterSoManyDocumentsOrSoMuchMemory)
{
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    server.SetLaneCount(1);
    const auto officesServing = [&](int exports) {
        OfficeSession session;
        session.EnsureRunning();
        std::vector<pid_t> offices;
        for (int run = 0; run < exports; ++run) {
            EXPECT_EQ(RESULT_SUCCESS, Export(TestDeck("widescreen.pptx")));
            offices.push_back(server.OfficeProcess(0));
        }
        return offices;
    };

    server.SetRecycling({2, std::size_t{1} << 40});
    const auto byDocuments = officesServing(5);
    EXPECT_EQ(byDocuments[0], byDocuments[1]);
    EXPECT_NE(byDocuments[1], byDocuments[2]);
    EXPECT_EQ(byDocuments[2], byDocuments[3]);
    EXPECT_NE(byDocuments[3], byDocuments[4]);

    server.SetRecycling({1000, 1});
    const auto byMemory = officesServing(2);
    EXPECT_NE(byMemory[0], byMemory[1]);
    server.SetRecycling({});
}
