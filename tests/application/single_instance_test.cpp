#include "app/korvanta_app.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLocalServer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A name of its own for every instance pair, so that tests never meet a
// running program or each other.
QString TestServerName()
{
    static int counter = 0;
    return QStringLiteral("korvanta-test-%1-%2").arg(::getpid()).arg(++counter);
}

std::unique_ptr<QDialog> MakeDialog(const QString& title)
{
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowTitle(title);
    return dialog;
}

CKorvantaApp::DialogFactory MainDialogFactory()
{
    return [] { return MakeDialog(QStringLiteral("Main")); };
}

// A second start must never get as far as its own dialog.
CKorvantaApp::DialogFactory NoDialog()
{
    return []() -> std::unique_ptr<QDialog> {
        ADD_FAILURE() << "the second instance made a dialog";
        return nullptr;
    };
}

// Leaves a socket file under the name with nobody listening, as a crashed
// instance does.
void LeaveStaleSocket(const QString& serverName)
{
    const QByteArray path = QDir(QDir::tempPath()).absoluteFilePath(serverName).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
}

// Runs the first instance's main dialog; while it is up, body runs once
// and then the dialog is closed.
void WhileMainDialogRuns(CKorvantaApp& app, const std::function<void(QDialog&)>& body)
{
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(app.MainWindow());
        ASSERT_NE(nullptr, dialog);
        body(*dialog);
        dialog->reject();
    });
    app.RunMainDialog();
}

// The windows an instance brought forward, in order.
class BroughtForward
{
public:
    explicit BroughtForward(CKorvantaApp& app)
    {
        QObject::connect(&app, &CKorvantaApp::broughtForward, &app, [this](QWidget* window) {
            windows_.push_back(window);
            titles_.push_back(window->windowTitle());
        });
    }
    bool Wait(int timeoutMs = 10000) const
    {
        return QTest::qWaitFor([this] { return !windows_.empty(); }, timeoutMs);
    }
    const std::vector<QPointer<QWidget>>& Windows() const { return windows_; }
    const std::vector<QString>& Titles() const { return titles_; }

private:
    std::vector<QPointer<QWidget>> windows_;
    std::vector<QString> titles_;
};

} // namespace

TEST(SingleInstance, ASecondStartEndsAndBringsTheMainDialogForward)
{
    const QString name = TestServerName();
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(NoDialog(), name);
    ASSERT_TRUE(first.CheckMultipleInstance());

    BroughtForward brought(first);
    WhileMainDialogRuns(first, [&](QDialog& dialog) {
        dialog.setWindowState(Qt::WindowMinimized);
        EXPECT_FALSE(second.CheckMultipleInstance());
        ASSERT_TRUE(brought.Wait());
        EXPECT_EQ(&dialog, brought.Windows().at(0));
        EXPECT_FALSE(dialog.isMinimized());
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    });
    EXPECT_EQ(1u, brought.Windows().size());
}

TEST(SingleInstance, TheDialogOnTopOfTheMainDialogIsTheOneBroughtForward)
{
    const QString name = TestServerName();
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(NoDialog(), name);
    ASSERT_TRUE(first.CheckMultipleInstance());

    BroughtForward brought(first);
    WhileMainDialogRuns(first, [&](QDialog& main) {
        QDialog processing(&main);
        processing.setWindowTitle(QStringLiteral("Processing"));
        QTimer::singleShot(0, [&] {
            EXPECT_FALSE(second.CheckMultipleInstance());
            EXPECT_TRUE(brought.Wait());
            processing.reject();
        });
        processing.exec();
    });
    EXPECT_EQ(std::vector<QString>{QStringLiteral("Processing")}, brought.Titles());
}

TEST(SingleInstance, ARequestBeforeAnyDialogExistsChangesNothing)
{
    const QString name = TestServerName();
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(NoDialog(), name);
    ASSERT_TRUE(first.CheckMultipleInstance());

    BroughtForward brought(first);
    EXPECT_FALSE(second.CheckMultipleInstance());
    EXPECT_FALSE(brought.Wait(500));
}

TEST(SingleInstance, ASocketLeftByACrashedInstanceDoesNotBlockTheNextStart)
{
    const QString name = TestServerName();
    LeaveStaleSocket(name);

    CKorvantaApp first(MainDialogFactory(), name);
    EXPECT_TRUE(first.CheckMultipleInstance());
    // The name is really held again: a further start is turned away.
    CKorvantaApp second(NoDialog(), name);
    EXPECT_FALSE(second.CheckMultipleInstance());
}

TEST(SingleInstance, TheNameIsFreeAgainOnceTheFirstInstanceHasEnded)
{
    const QString name = TestServerName();
    {
        CKorvantaApp first(MainDialogFactory(), name);
        ASSERT_TRUE(first.CheckMultipleInstance());
        first.ExitInstance();
        CKorvantaApp next(MainDialogFactory(), name);
        EXPECT_TRUE(next.CheckMultipleInstance());
    }
    CKorvantaApp afterwards(MainDialogFactory(), name);
    EXPECT_TRUE(afterwards.CheckMultipleInstance());
}

TEST(SingleInstance, ANameThatCannotBeTakenLetsTheProgramRunUnguarded)
{
    const QString name = QStringLiteral("/nonexistent-korvanta-folder/Korvanta");
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(MainDialogFactory(), name);
    EXPECT_TRUE(first.CheckMultipleInstance());
    EXPECT_TRUE(second.CheckMultipleInstance());
}
