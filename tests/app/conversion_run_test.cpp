#include "app/conversion_run.h"
#include "app/conversion_worker.h"
#include "app/processing_dlg.h"
#include "convert/convert_data.h"
#include "convert/libreoffice/office_process.h"
#include "convert/ppt_export.h"
#include "convert/result_codes.h"
#include "tests/app/modal_run.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Calls a function on the worker thread for each slide written.
struct SlideHook : ExportObserver
{
    explicit SlideHook(std::function<void(int, int)> hook) : hook(std::move(hook)) {}
    void SlideWritten(int number, int count) override { hook(number, count); }
    std::function<void(int, int)> hook;
};

// Holds the worker thread until done() is true, or for 20 seconds at most.
void HoldUntil(const std::function<bool()>& done)
{
    const auto limit = std::chrono::steady_clock::now() + 20s;
    while (!done() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(10ms);
}

// Counts the paint events of a widget while counting is on.
class PaintCounter : public QObject
{
public:
    bool counting = false;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (counting && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Each test has its own temporary-files folder and destination, and a main
// window that owns the run.
class ConversionRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        savedTmp = old ? old : "";
        ::setenv("TMPDIR", temp.Path().c_str(), 1);
        request.saveTo = SAVE_TO_LOCAL_PC;
        request.localFolder = target.Path().string();
        request.processingDlg = &dialog;
        owner.resize(300, 200);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }

    void TearDown() override
    {
        if (savedTmp.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmp.c_str(), 1);
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
        EXPECT_FALSE(timedOut) << "the dialog stayed open";
    }

    // Runs the request; a dialog still open after four minutes is closed.
    int Run(const std::string& deck)
    {
        request.filePath = TestDeck(deck).string();
        Ticker safety(240s, [&] {
            if (dialog.isVisible()) {
                timedOut = true;
                dialog.done(kStillOpen);
            }
        });
        return RunConversion(&request, &owner);
    }

    std::vector<std::string> Delivered(const std::string& name) const
    {
        std::vector<std::string> images;
        if (!fs::is_directory(target / name))
            return images;
        for (const auto& entry : fs::directory_iterator(target / name)) {
            EXPECT_EQ(1280, ReadJpegSize(entry.path()).width);
            images.push_back(entry.path().filename().string());
        }
        std::sort(images.begin(), images.end());
        return images;
    }

    QPushButton* CancelButton() { return dialog.findChild<QPushButton*>(QStringLiteral("2")); }

    TempFolder temp;
    TempFolder target;
    std::string savedTmp;
    bool timedOut = false;
    QWidget owner;
    CProcessingDlg dialog{&owner};
    ConvertData request;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(ConversionRun, AShortConversionClosesTheDialogByItselfAndDelivers)
{
    EXPECT_EQ(RESULT_SUCCESS, Run("widescreen.pptx"));
    EXPECT_EQ(0, request.cancel.load());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ((Strings{"slide1.jpg", "slide2.jpg"}), Delivered("widescreen"));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

// Cancels by the button or by Esc as soon as the first slide is written. The
// worker then holds until the owner has been seen waiting for a few ticks:
// disabled, yet painting and running its timers.
class CancelDuringExport : public ConversionRun, public ::testing::WithParamInterface<bool>
{};

TEST_P(CancelDuringExport, StopsTheRunAndLeavesNothingWhileTheOwnerStaysAlive)
{
    const bool byEsc = GetParam();
    std::atomic<bool> slideWritten{false};
    std::atomic<int> waitingTicks{0};
    bool cancelled = false;
    bool ownerEnabledWhileWaiting = false;
    PaintCounter painter;
    owner.installEventFilter(&painter);

    SlideHook hook([&](int, int) {
        slideWritten = true;
        HoldUntil([&] { return waitingTicks >= 3; });
    });
    request.progress = &hook;
    Ticker user(20ms, [&] {
        if (!cancelled && slideWritten && dialog.isVisible()) {
            cancelled = true;
            if (byEsc)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(CancelButton(), Qt::LeftButton);
        } else if (cancelled && !dialog.isVisible() && request.cancel == 1) {
            ownerEnabledWhileWaiting = ownerEnabledWhileWaiting || owner.isEnabled();
            if (++waitingTicks == 1) {
                painter.counting = true;
                owner.update();
            }
        }
    });

    EXPECT_EQ(RESULT_CANCELLED, Run("office-families.pptx"));
    EXPECT_TRUE(cancelled);
    EXPECT_GE(waitingTicks, 3);
    EXPECT_FALSE(ownerEnabledWhileWaiting);
    EXPECT_GT(painter.paints, 0);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_TRUE(fs::is_empty(target.Path()));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

INSTANTIATE_TEST_SUITE_P(ByButtonAndByEsc, CancelDuringExport, ::testing::Values(false, true));

TEST_F(ConversionRun, ACancelAfterTheLastSlideStillDelivers)
{
    std::atomic<bool> lastWritten{false};
    SlideHook hook([&](int number, int count) {
        if (number == count) {
            lastWritten = true;
            HoldUntil([&] { return request.cancel == 1; });
        }
    });
    request.progress = &hook;
    Ticker user(20ms, [&] {
        if (lastWritten && dialog.isVisible())
            QTest::mouseClick(CancelButton(), Qt::LeftButton);
    });

    EXPECT_EQ(RESULT_SUCCESS, Run("widescreen.pptx"));
    EXPECT_EQ(1, request.cancel.load());
    EXPECT_EQ((Strings{"slide1.jpg", "slide2.jpg"}), Delivered("widescreen"));
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(ConversionRun, AWorkerThatEndedBeforeTheDialogShowedDoesNotHang)
{
    // The worker's whole run, done before the dialog is shown.
    request.filePath = TestDeck("widescreen.pptx").string();
    ASSERT_EQ(RESULT_SUCCESS, ConversionWorker(&request));
    EXPECT_EQ(QDialog::Accepted, ExecThen(dialog, [] {}));
    EXPECT_EQ((Strings{"slide1.jpg", "slide2.jpg"}), Delivered("widescreen"));

    // A run that fails at once, most likely before the dialog shows.
    request.filePath = (temp / ".pptx").string();
    WriteFile(request.filePath, "deck");
    EXPECT_EQ(RESULT_CONVERSION_FAILED, RunConversion(&request, &owner));
    EXPECT_FALSE(dialog.isVisible());
    fs::remove(request.filePath);
}
