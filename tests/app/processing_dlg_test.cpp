#include "app/processing_dlg.h"
#include "app/server_trust_dlg.h"
#include "platform/string_resources.h"
#include "tests/app/modal_run.h"
#include "tests/app/qstring_print.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr int kTestTable = 9;

QProgressBar* Bar(CProcessingDlg& dialog)
{
    return dialog.findChild<QProgressBar*>(QStringLiteral("1054"));
}

QPushButton* CancelButton(CProcessingDlg& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("2"));
}

const UntrustedServer kServer{"files.example.com", 22,
                              "SHA256:nThbg6kXUpJWGl7E1IGOCspRomTxdCARLviKw6E5SY8", false};

// Answers each server question the dialog shows with the button of that id,
// as soon as it shows; counts them.
class Answerer
{
public:
    Answerer(CProcessingDlg& dialog, const char* button)
        : ticker_(10ms, [&dialog, id = QString::fromLatin1(button), this] {
              auto* question = dialog.findChild<CServerTrustDlg*>();
              if (!question || !question->isVisible())
                  return;
              ++answered_;
              parent_ = question->parentWidget();
              QTest::mouseClick(question->findChild<QPushButton*>(id), Qt::LeftButton);
          })
    {}
    int Answered() const { return answered_; }
    QWidget* Parent() const { return parent_; }

private:
    int answered_ = 0;
    QWidget* parent_ = nullptr;
    Ticker ticker_;
};

// Lets the event loop run for a while.
void Pause(std::chrono::milliseconds span)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < span.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(ProcessingDialog, TakesItsTextsFromTheActiveTable)
{
    platform::UseStringTable({{102, "Caption X"}, {1025, "Working X"}, {4, "&Stop X"}}, kTestTable);
    CProcessingDlg dialog;
    QString caption, message, button;
    ExecThen(dialog, [&] {
        caption = dialog.windowTitle();
        message = dialog.findChild<QLabel*>(QStringLiteral("1025"))->text();
        button = CancelButton(dialog)->text();
        dialog.reject();
    });
    platform::SelectStringTable(platform::kEnglishStringTable);
    EXPECT_EQ(QStringLiteral("Caption X"), caption);
    EXPECT_EQ(QStringLiteral("Working X"), message);
    EXPECT_EQ(QStringLiteral("&Stop X"), button);
}

TEST(ProcessingDialog, CancelEscAndTheCloseBoxEndItRejected)
{
    CProcessingDlg dialog;
    EXPECT_EQ(QDialog::Rejected,
              ExecThen(dialog, [&] { QTest::mouseClick(CancelButton(dialog), Qt::LeftButton); }));
    EXPECT_EQ(QDialog::Rejected,
              ExecThen(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }));
    EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, [&] { dialog.close(); }));
}

TEST(ProcessingDialog, CancelIsNoDefaultButtonButTakesEnterWithTheFocus)
{
    CProcessingDlg dialog;
    bool looked = false;
    EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, [&] {
                  looked = true;
                  EXPECT_EQ(CancelButton(dialog), dialog.focusWidget());
                  EXPECT_FALSE(CancelButton(dialog)->isDefault());
                  QTest::keyClick(CancelButton(dialog), Qt::Key_Return);
              }));
    EXPECT_TRUE(looked);
}

TEST(ProcessingDialog, TheBarGoesOnFromWhereThePreviousShowingStopped)
{
    CProcessingDlg dialog;
    QProgressBar* bar = Bar(dialog);
    std::vector<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    const auto nothing = [] {};

    {
        Ticker endWhenMoved(10ms, [&] {
            if (dialog.isVisible() && bar->value() >= 3)
                dialog.reject();
        });
        ASSERT_EQ(QDialog::Rejected, ExecThen(dialog, nothing));
    }
    ASSERT_FALSE(shown.empty());
    const int stoppedAt = shown.back();
    EXPECT_EQ(0, shown.front());
    EXPECT_GE(stoppedAt, 3);

    // No stepping while the dialog is closed.
    Pause(300ms);
    EXPECT_EQ(stoppedAt + 1, dialog.Position());

    shown.clear();
    int valueWhenShown = -1;
    {
        Ticker endAtFirstStep(10ms, [&] {
            if (dialog.isVisible() && !shown.empty())
                dialog.reject();
        });
        EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, [&] { valueWhenShown = bar->value(); }));
    }
    EXPECT_EQ(stoppedAt, valueWhenShown);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(stoppedAt + 1, shown.front());
}

TEST(ProcessingDialog, OnceTheSlidesAreCountedTheBarShowsTheWorkDone)
{
    CProcessingDlg dialog;
    QProgressBar* bar = Bar(dialog);
    std::vector<std::pair<int, int>> seen;
    const auto look = [&] {
        Pause(50ms);
        seen.emplace_back(bar->value(), bar->maximum());
    };
    ExecThen(dialog, [&] {
        // From the worker's thread, as a conversion reports it.
        std::thread([&] { dialog.SlideWritten(1, 4); }).join();
        look();
        std::thread([&] { dialog.SlideWritten(4, 4); }).join();
        look();
        std::thread([&] { dialog.ImageDelivered(2, 4); }).join();
        look();
        // No more stepping of its own.
        Pause(300ms);
        look();
        dialog.reject();
    });
    const std::vector<std::pair<int, int>> expected = {{1, 8}, {4, 8}, {6, 8}, {6, 8}};
    EXPECT_EQ(expected, seen);

    // Progress of a run that ended reaches no later one: the bar steps again.
    dialog.SlideWritten(3, 4);
    dialog.DiscardConvertDone();
    int maximum = -1;
    ExecThen(dialog, [&] {
        Pause(300ms);
        maximum = bar->maximum();
        dialog.reject();
    });
    EXPECT_EQ(100, maximum);
}

TEST(ProcessingDialog, ACompletionNoticeEndsItAcceptedEvenBeforeItIsShown)
{
    CProcessingDlg dialog;
    const auto nothing = [] {};

    // Queued before the modal run started.
    CProcessingDlg::PostConvertDone(&dialog);
    EXPECT_EQ(QDialog::Accepted, ExecThen(dialog, nothing));

    // Delivered while the dialog was not shown.
    CProcessingDlg::PostConvertDone(&dialog);
    QCoreApplication::processEvents();
    EXPECT_EQ(QDialog::Accepted, ExecThen(dialog, nothing));

    // Shown, then told.
    EXPECT_EQ(QDialog::Accepted,
              ExecThen(dialog, [&] { CProcessingDlg::PostConvertDone(&dialog); }));
}

TEST(ProcessingDialog, ADiscardedNoticeLeavesTheNextShowingOpen)
{
    CProcessingDlg dialog;
    const auto closeLater = [&] {
        Pause(300ms);
        if (dialog.isVisible())
            dialog.reject();
    };

    CProcessingDlg::PostConvertDone(&dialog);
    dialog.DiscardConvertDone();
    EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, closeLater));

    CProcessingDlg::PostConvertDone(&dialog);
    QCoreApplication::processEvents();
    dialog.DiscardConvertDone();
    EXPECT_EQ(QDialog::Rejected, ExecThen(dialog, closeLater));
}

TEST(ProcessingDialog, AsksTheUserForTheWorkerAndPassesOnTheAnswer)
{
    CProcessingDlg dialog;
    for (const char* button : {"6", "7"}) {
        SCOPED_TRACE(button);
        const Answerer answerer(dialog, button);
        std::atomic<bool> returned = false;
        bool trusted = false;
        std::thread worker;
        ExecThen(dialog, [&] {
            worker = std::thread([&] {
                trusted = dialog.TrustServer(kServer);
                returned = true;
                CProcessingDlg::PostConvertDone(&dialog);
            });
        });
        // A question still queued when the run ended gets its answer here.
        while (!returned)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker.join();
        EXPECT_EQ(1, answerer.Answered());
        EXPECT_EQ(&dialog, answerer.Parent());
        EXPECT_EQ(button == std::string("6"), trusted);
    }
}

TEST(ProcessingDialog, AsksOnItsOwnThreadDirectlyAndNotAtAllWhenNotShown)
{
    CProcessingDlg dialog;
    const Answerer answerer(dialog, "6");
    EXPECT_FALSE(dialog.TrustServer(kServer));
    EXPECT_EQ(0, answerer.Answered());

    bool trusted = false;
    ExecThen(dialog, [&] {
        trusted = dialog.TrustServer(kServer);
        dialog.reject();
    });
    EXPECT_TRUE(trusted);
    EXPECT_EQ(1, answerer.Answered());
}
