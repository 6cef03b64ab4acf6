#include "convert/convert_controller.h"
#include "convert/libreoffice/office_process.h"
#include "convert/ppt_export.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Each test gets its own temporary-files folder, to see what is left in it.
class Conversion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        savedTmp = old ? old : "";
        ::setenv("TMPDIR", temp.Path().c_str(), 1);
    }

    void TearDown() override
    {
        if (savedTmp.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmp.c_str(), 1);
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    int ConvertToLocal(const fs::path& source)
    {
        request.filePath = source.string();
        request.saveTo = SAVE_TO_LOCAL_PC;
        request.localFolder = target.Path().string();
        return ConvertController().ConvertionStart(&request);
    }

    std::vector<std::string> Names(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder temp;
    TempFolder target;
    TempFolder decks;
    std::string savedTmp;
    ConvertData request;
};

// Sets the cancel flag once a given slide is written.
struct CancelAt : ExportObserver
{
    CancelAt(std::atomic<int>& flag, int slide) : flag(flag), slide(slide) {}
    void SlideWritten(int number, int) override
    {
        if (number == slide)
            flag = 1;
    }
    std::atomic<int>& flag;
    int slide;
};

} // namespace

TEST_F(Conversion, DeliversAFolderOfExactImagesAndLeavesNoWorkingFolder)
{
    ASSERT_EQ(RESULT_SUCCESS, ConvertToLocal(TestDeck("office-families.pptx")));
    const fs::path delivered = target / "office-families";
    const auto images = Names(delivered);
    ASSERT_EQ(20u, images.size());
    EXPECT_EQ("slide01.jpg", images.front());
    EXPECT_EQ("slide20.jpg", images.back());
    for (const auto& name : images) {
        const JpegSize size = ReadJpegSize(delivered / name);
        EXPECT_EQ(1280, size.width) << name;
        EXPECT_EQ(800, size.height) << name;
    }
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(Conversion, TheFolderIsNamedBeforeTheLastDot)
{
    fs::copy_file(TestDeck("widescreen.pptx"), temp / "Plan.final.pptx");
    ASSERT_EQ(RESULT_SUCCESS, ConvertToLocal(temp / "Plan.final.pptx"));
    EXPECT_EQ(std::vector<std::string>{"Plan.final"}, Names(target.Path()));
    EXPECT_EQ("Plan.final", PresentationName("/a/b/Plan.final.pptx"));
    EXPECT_EQ("NoDot", PresentationName("/a.b/NoDot"));
    EXPECT_EQ("", PresentationName("/decks/.pptx"));
}

TEST_F(Conversion, FailuresAndCancelsDeliverNothingAndCleanUp)
{
    EXPECT_EQ(RESULT_APPLICATION_FAILED, ConvertToLocal(TestDeck("damaged.pptx")));
    EXPECT_TRUE(fs::is_empty(target.Path()));
    EXPECT_TRUE(fs::is_empty(temp.Path()));

    request.cancel = 1;
    EXPECT_EQ(RESULT_CANCELLED, ConvertToLocal(TestDeck("widescreen.pptx")));
    EXPECT_TRUE(fs::is_empty(target.Path()));
    EXPECT_TRUE(fs::is_empty(temp.Path()));

    request.cancel = 0;
    CancelAt cancelAtThree(request.cancel, 3);
    request.progress = &cancelAtThree;
    EXPECT_EQ(RESULT_CANCELLED, ConvertToLocal(TestDeck("office-families.pptx")));
    EXPECT_TRUE(fs::is_empty(target.Path()));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(Conversion, ADeliveryFailureKeepsItsCode)
{
    WriteFile(target / "file", "x");
    request.filePath = TestDeck("widescreen.ppt").string();
    request.localFolder = (target / "file/below").string();
    EXPECT_EQ(RESULT_DELIVERY_FAILED, ConvertController().ConvertionStart(&request));
    EXPECT_TRUE(fs::is_empty(temp.Path()));

    ConnectProfileData unknownKind;
    unknownKind.destination = "C:\\images";
    request.saveTo = SAVE_TO_SERVER;
    request.profile = &unknownKind;
    EXPECT_EQ(RESULT_DELIVERY_FAILED, ConvertController().ConvertionStart(&request));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(Conversion, BadRequestsFailWithoutTouchingTheDisk)
{
    EXPECT_EQ(RESULT_CONVERSION_FAILED, ConvertController().ConvertionStart(nullptr));
    // A name that is only an extension names no folder to deliver.
    WriteFile(temp / ".pptx", "deck");
    EXPECT_EQ(RESULT_CONVERSION_FAILED, ConvertToLocal(temp / ".pptx"));
    EXPECT_TRUE(fs::is_empty(target.Path()));
    EXPECT_FALSE(ConvertController().OpenDestination(nullptr));
}

TEST_F(Conversion, NamesThatLeaveTheImageFolderAreRefusedBeforeAnythingIsWritten)
{
    // Something of another run's that a delivery of "$TMPDIR" would take.
    WriteFile(temp / "other run.txt", "not ours");
    for (const char* name : {"...ppt", "..pptx", ".pptx"}) {
        SCOPED_TRACE(name);
        fs::copy_file(TestDeck("widescreen.pptx"), decks / name);
        EXPECT_EQ(RESULT_CONVERSION_FAILED, ConvertToLocal(decks / name));
        EXPECT_TRUE(fs::is_empty(target.Path()));
        EXPECT_EQ(std::vector<std::string>{"other run.txt"}, Names(temp.Path()));
    }
    // The export step holds on its own too: nothing is made beside the
    // working folder.
    const fs::path work = temp / "work";
    fs::create_directory(work);
    std::atomic<int> cancel{0};
    for (const char* name : {"...ppt", "..pptx"}) {
        EXPECT_EQ(RESULT_CONVERSION_FAILED, ConvertController().actExecConvertPptToJpeg(
                                                (decks / name).string(), work.string(), &cancel))
            << name;
        EXPECT_TRUE(fs::is_empty(work));
        EXPECT_EQ((std::vector<std::string>{"other run.txt", "work"}), Names(temp.Path()));
    }
    fs::remove(work);
    fs::remove(temp / "other run.txt");
}

TEST_F(Conversion, UnusualNamesConvertLikeAnyOther)
{
    // A leading dash, quotes, shell characters, spaces, a line break and
    // non-ASCII letters, all in one name.
    const std::string name = "-rf 'q' \"d\" $HOME;x|y&z\nÜber 日本";
    fs::copy_file(TestDeck("widescreen.pptx"), decks / (name + ".pptx"));
    ASSERT_EQ(RESULT_SUCCESS, ConvertToLocal(decks / (name + ".pptx")));
    EXPECT_EQ(std::vector<std::string>{name}, Names(target.Path()));
    EXPECT_EQ((std::vector<std::string>{"slide1.jpg", "slide2.jpg"}), Names(target / name));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(Conversion, AllWorkingFolderNamesTakenFailsAndDeletesNone)
{
    // Every name the five-digit stamp can give is taken.
    for (int second = 0; second < 60; ++second)
        for (int millisecond = 0; millisecond < 1000; ++millisecond) {
            char name[32];
            std::snprintf(name, sizeof name, ".Korvanta.temp%02d%03d", second, millisecond);
            fs::create_directory(temp / name);
        }
    EXPECT_EQ(RESULT_CONVERSION_FAILED, ConvertToLocal(TestDeck("widescreen.pptx")));
    EXPECT_EQ(60000, std::distance(fs::directory_iterator(temp.Path()), {}));
    EXPECT_TRUE(fs::is_empty(target.Path()));
}

TEST_F(Conversion, RunsStartedAtTheSameMomentEachGetAWorkingFolder)
{
    const int runs = 8;
    ConvertController controller;
    std::vector<std::string> folders(runs);
    std::vector<int> made(runs, 0);
    std::vector<std::thread> starts;
    for (int run = 0; run < runs; ++run)
        starts.emplace_back(
            [&, run] { made[run] = controller.actGetTempFolderPath(folders[run]); });
    for (auto& start : starts)
        start.join();
    EXPECT_EQ(std::vector<int>(runs, 1), made);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders.end(), std::adjacent_find(folders.begin(), folders.end()));
    for (const auto& folder : folders)
        EXPECT_TRUE(controller.DeleteFolderAll(folder));
}
