#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "convert/slide_queue.h"
#include "tests/convert/fake_office.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

class ExportLogic : public ::testing::Test
{
protected:
    PptToJpegData Request() const
    {
        return {"/decks/Talk.pptx", folder.Path().string(), 1280, 800};
    }

    int Export(FakeOffice& office, ExportObserver* observer = nullptr)
    {
        const PptToJpegData data = Request();
        return fnjgConvetPptToJpeg(&data, &cancel, office, observer);
    }

    std::vector<std::string> Images() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The calls from Close on: the shut-down.
    static std::vector<std::string> Tail(const FakeOffice& office, std::size_t count)
    {
        const auto& calls = office.Calls();
        return {calls.end() - static_cast<long>(std::min(count, calls.size())), calls.end()};
    }

    TempFolder folder;
    std::atomic<int> cancel{0};
};

std::vector<std::string> ExpectedNames(int count, int digits)
{
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n)
        names.push_back(SlideImageName(n, digits));
    std::sort(names.begin(), names.end());
    return names;
}

struct Recorder : ExportObserver
{
    void SlideWritten(int number, int count) override { seen.emplace_back(number, count); }
    std::vector<std::pair<int, int>> seen;
};

} // namespace

TEST(SlideNames, PaddedToTheDigitsOfTheCount)
{
    EXPECT_EQ(1, SlideNumberDigits(0));
    EXPECT_EQ(1, SlideNumberDigits(9));
    EXPECT_EQ(2, SlideNumberDigits(10));
    EXPECT_EQ(2, SlideNumberDigits(99));
    EXPECT_EQ(3, SlideNumberDigits(100));
    EXPECT_EQ(4, SlideNumberDigits(1000));
    EXPECT_EQ("slide7.jpg", SlideImageName(7, 1));
    EXPECT_EQ("slide07.jpg", SlideImageName(7, 2));
    EXPECT_EQ("slide100.jpg", SlideImageName(100, 3));
}

TEST_F(ExportLogic, WritesOneNamedImagePerSlide)
{
    for (const auto& [count, first, last] :
         {std::tuple{9, "slide1.jpg", "slide9.jpg"}, std::tuple{10, "slide01.jpg", "slide10.jpg"},
          std::tuple{100, "slide001.jpg", "slide100.jpg"}}) {
        fs::remove_all(folder.Path());
        fs::create_directory(folder.Path());
        FakeOffice office({.slideCount = count});
        ASSERT_EQ(RESULT_SUCCESS, Export(office));
        const auto images = Images();
        ASSERT_EQ(static_cast<std::size_t>(count), images.size());
        EXPECT_EQ(ExpectedNames(count, SlideNumberDigits(count)), images);
        EXPECT_EQ(first, images.front());
        EXPECT_EQ(last, images.back());
    }
}

TEST_F(ExportLogic, OpensReadOnlyWithoutWindowAndExportsAtTheRequestedSize)
{
    FakeOffice office({.slideCount = 1});
    ASSERT_EQ(RESULT_SUCCESS, Export(office));
    EXPECT_TRUE(office.Called("Open /decks/Talk.pptx -1 -1 0"));
    EXPECT_TRUE(office.Called("Export " + (folder / "slide1.jpg").string() + " jpg 1280x800"));
}

TEST_F(ExportLogic, NoSlidesWritesNothingAndSucceeds)
{
    FakeOffice office({.slideCount = 0});
    EXPECT_EQ(RESULT_SUCCESS, Export(office));
    EXPECT_TRUE(Images().empty());
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(office, 2));
}

TEST_F(ExportLogic, CancelBeforeTheFirstSlideTouchesNoOffice)
{
    FakeOffice office({});
    cancel = 1;
    EXPECT_EQ(RESULT_CANCELLED, Export(office));
    EXPECT_TRUE(office.Calls().empty());
    EXPECT_TRUE(Images().empty());
}

TEST_F(ExportLogic, CancelDuringSlideThreeStopsAfterItAndShutsDown)
{
    FakeOffice office({.slideCount = 10, .cancelDuringExport = 3, .cancel = &cancel});
    EXPECT_EQ(RESULT_CANCELLED, Export(office));
    EXPECT_EQ((std::vector<std::string>{"slide01.jpg", "slide02.jpg", "slide03.jpg"}), Images());
    EXPECT_FALSE(office.Called("Item 4"));
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(office, 2));
}

TEST_F(ExportLogic, QuitsOnlyAnOfficeItStarted)
{
    FakeOffice started({.running = false});
    ASSERT_EQ(RESULT_SUCCESS, Export(started));
    EXPECT_TRUE(started.Called("Quit"));

    FakeOffice running({.running = true});
    ASSERT_EQ(RESULT_SUCCESS, Export(running));
    EXPECT_TRUE(running.Called("Close"));
    EXPECT_FALSE(running.Called("Quit"));
}

TEST_F(ExportLogic, MissingObjectsFailWithElevenAndStillShutDown)
{
    FakeOffice noApplication({.noApplication = true});
    EXPECT_EQ(RESULT_APPLICATION_FAILED, Export(noApplication));
    EXPECT_FALSE(noApplication.Called("Quit"));

    FakeOffice noPresentation({.noPresentation = true});
    EXPECT_EQ(RESULT_APPLICATION_FAILED, Export(noPresentation));
    EXPECT_FALSE(noPresentation.Called("Close"));
    EXPECT_TRUE(noPresentation.Called("Quit"));

    FakeOffice noSlides({.noSlides = true});
    EXPECT_EQ(RESULT_APPLICATION_FAILED, Export(noSlides));
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(noSlides, 2));

    FakeOffice missingSlide({.slideCount = 4, .missingSlide = 2});
    EXPECT_EQ(RESULT_APPLICATION_FAILED, Export(missingSlide));
    EXPECT_FALSE(missingSlide.Called("Item 3"));
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(missingSlide, 2));
}

TEST_F(ExportLogic, OfficeErrorsAndMissingImagesFailWithEighteen)
{
    FakeOffice failing({.slideCount = 3, .failingExport = 2});
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(failing));
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(failing, 2));

    // An export call that reports success must still have written a JPEG.
    FakeOffice silent({.slideCount = 3, .exportWithoutFile = 2});
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(silent));
    EXPECT_FALSE(silent.Called("Item 3"));
    EXPECT_EQ((std::vector<std::string>{"Close", "Quit"}), Tail(silent, 2));

    FakeOffice png({.slideCount = 3, .exportNotJpeg = 3});
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(png));
}

TEST_F(ExportLogic, MissingArgumentsGiveTen)
{
    FakeOffice office({});
    const PptToJpegData data = Request();
    EXPECT_EQ(RESULT_MISSING_ARGUMENT, fnjgConvetPptToJpeg(nullptr, &cancel, office));
    EXPECT_EQ(RESULT_MISSING_ARGUMENT, fnjgConvetPptToJpeg(&data, nullptr, office));
    EXPECT_TRUE(office.Calls().empty());
}

TEST_F(ExportLogic, ObserverHearsOfEverySlideInOrder)
{
    FakeOffice office({.slideCount = 3});
    Recorder recorder;
    ASSERT_EQ(RESULT_SUCCESS, Export(office, &recorder));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}), recorder.seen);
}

TEST_F(ExportLogic, TwoLanesShareTheSlidesAndEachQuitsItsOwnOffice)
{
    FakeOffice office({.lanes = 2, .slideCount = 12});
    ASSERT_EQ(RESULT_SUCCESS, Export(office));
    EXPECT_EQ(ExpectedNames(12, 2), Images());
    int exports = 0;
    for (const auto& call : office.Calls())
        exports += call.find("Export ") != std::string::npos;
    EXPECT_EQ(12, exports);
    for (const std::string lane : {"", "[1] "}) {
        EXPECT_TRUE(office.Called(lane + "Open /decks/Talk.pptx -1 -1 0"));
        EXPECT_TRUE(office.Called(lane + "Close"));
        EXPECT_TRUE(office.Called(lane + "Quit"));
    }
}

TEST_F(ExportLogic, AShortPackageIsOpenedInOneLaneAndTheRestInAll)
{
    const auto lanesOpened = [this](const std::string& deck) {
        FakeOffice office({.lanes = 2, .slideCount = 12});
        const PptToJpegData data{TestDeck(deck).string(), folder.Path().string(), 1280, 800};
        EXPECT_EQ(RESULT_SUCCESS, fnjgConvetPptToJpeg(&data, &cancel, office)) << deck;
        int lanes = 0;
        for (const auto& call : office.Calls())
            lanes += call.find("Open ") != std::string::npos;
        return lanes;
    };
    EXPECT_EQ(1, lanesOpened("widescreen.pptx"));
    EXPECT_EQ(2, lanesOpened("standard.pptx"));
    // Nothing tells the slides of a binary deck beforehand.
    EXPECT_EQ(2, lanesOpened("widescreen.ppt"));
}

TEST_F(ExportLogic, ALaneThatCannotOpenLeavesTheWorkToTheOthers)
{
    FakeOffice office({.lanes = 2, .laneWithoutPresentation = 1, .slideCount = 5});
    ASSERT_EQ(RESULT_SUCCESS, Export(office));
    EXPECT_EQ(ExpectedNames(5, 1), Images());
    for (const auto& call : office.Calls())
        EXPECT_EQ(std::string::npos, call.find("[1] Export")) << call;
    EXPECT_TRUE(office.Called("[1] Quit"));

    FakeOffice laneZero({.lanes = 2, .laneWithoutPresentation = 0});
    EXPECT_EQ(RESULT_APPLICATION_FAILED, Export(laneZero));
    EXPECT_TRUE(laneZero.Called("[1] Close"));
}

TEST_F(ExportLogic, AFailureInOneLaneStopsThemAll)
{
    // Without the stop the other lane would export all 399 other slides.
    FakeOffice office({.lanes = 2, .slideCount = 400, .failingExport = 3});
    EXPECT_EQ(RESULT_CONVERSION_FAILED, Export(office));
    EXPECT_FALSE(fs::exists(folder / "slide003.jpg"));
    EXPECT_LT(Images().size(), 200u);
    for (const std::string lane : {"", "[1] "}) {
        EXPECT_TRUE(office.Called(lane + "Close"));
        EXPECT_TRUE(office.Called(lane + "Quit"));
    }
}

TEST_F(ExportLogic, ACancelStopsEveryLane)
{
    FakeOffice office({.lanes = 2, .slideCount = 400, .cancelDuringExport = 3, .cancel = &cancel});
    EXPECT_EQ(RESULT_CANCELLED, Export(office));
    EXPECT_TRUE(fs::exists(folder / "slide003.jpg"));
    EXPECT_LT(Images().size(), 200u);
}

TEST(SlideQueue, HandsOutEachSlideOnceInOrder)
{
    std::atomic<int> cancel{0};
    SlideQueue queue(3, cancel, nullptr);
    EXPECT_EQ(1, queue.Next());
    EXPECT_EQ(2, queue.Next());
    EXPECT_EQ(3, queue.Next());
    EXPECT_EQ(0, queue.Next());
    EXPECT_FALSE(queue.Cancelled());
    EXPECT_EQ(nullptr, queue.Failure());
}

TEST(SlideQueue, AFailureOrACancelStopsEveryLaterRequest)
{
    std::atomic<int> cancel{0};
    SlideQueue failing(10, cancel, nullptr);
    EXPECT_EQ(1, failing.Next());
    const auto first = std::make_exception_ptr(std::runtime_error("first"));
    failing.Fail(first);
    failing.Fail(std::make_exception_ptr(std::runtime_error("second")));
    EXPECT_EQ(0, failing.Next());
    EXPECT_EQ(first, failing.Failure());

    SlideQueue cancelled(10, cancel, nullptr);
    EXPECT_EQ(1, cancelled.Next());
    cancel = 1;
    EXPECT_EQ(0, cancelled.Next());
    EXPECT_TRUE(cancelled.Cancelled());
    cancel = 0;
    EXPECT_EQ(0, cancelled.Next()); // a cancel is not taken back
}

TEST(SlideQueue, TheObserverCountsWrittenSlides)
{
    std::atomic<int> cancel{0};
    Recorder recorder;
    SlideQueue queue(2, cancel, &recorder);
    queue.Written();
    queue.Written();
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}), recorder.seen);
}
