#include "app/korvanta_app.h"
#include "tests/support/child_process.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait_until.h"

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
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

sockaddr_un SocketAddress(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// Connects to the socket and writes the request, as a second start of
// whoever runs this would. 0 once written.
int SendRequest(const std::string& socketPath, const std::string& request)
{
    const sockaddr_un address = SocketAddress(socketPath);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool sent =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size());
    ::close(fd);
    return sent ? 0 : 1;
}

// A folder under the temporary-files folder that the unprivileged user may
// enter and write to, as a shared temporary folder is.
class SharedFolder
{
public:
    SharedFolder()
    {
        ::chmod(root_.Path().c_str(), 0755);
        fs::create_directory(Path());
        ::chmod(Path().c_str(), 0777);
    }
    fs::path Path() const { return root_ / "shared"; }

private:
    TempFolder root_;
};

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

// The files an instance was handed, in order, and whether its main dialog
// was showing when each came.
class HandedOver
{
public:
    explicit HandedOver(CKorvantaApp& app)
    {
        QObject::connect(&app, &CKorvantaApp::fileHandedOver, &app,
                         [this, &app](const QString& path) {
                             files_.push_back(path);
                             shown_ = shown_ && app.MainWindow() && app.MainWindow()->isVisible();
                         });
    }
    bool Wait() const
    {
        return QTest::qWaitFor([this] { return !files_.empty(); }, 10000);
    }
    const std::vector<QString>& Files() const { return files_; }
    bool AllWhileShown() const { return shown_; }

private:
    std::vector<QString> files_;
    bool shown_ = true;
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

TEST(SingleInstance, ASecondStartHandsItsFileOverBeforeTheWindowComesForward)
{
    const QString name = TestServerName();
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(NoDialog(), name);
    ASSERT_TRUE(first.CheckMultipleInstance());

    // Any byte but NUL may be in a file name.
    const QString file =
        QStringLiteral("/decks/a deck\nwith a line break\r, 100%25 -x \u00e4\u6f22.pptx");
    HandedOver handed(first);
    BroughtForward brought(first);
    WhileMainDialogRuns(first, [&](QDialog&) {
        second.SetFileToOpen(file);
        EXPECT_FALSE(second.CheckMultipleInstance());
        ASSERT_TRUE(brought.Wait());
        EXPECT_EQ(std::vector<QString>{file}, handed.Files());
    });
}

// The start file, or one handed over before there is a dialog in its place.
TEST(SingleInstance, AFileToOpenWaitsForTheMainDialogToShow)
{
    const QString name = TestServerName();
    CKorvantaApp first(MainDialogFactory(), name);
    CKorvantaApp second(NoDialog(), name);
    first.SetFileToOpen(QStringLiteral("/decks/start.pptx"));
    ASSERT_TRUE(first.CheckMultipleInstance());

    HandedOver handed(first);
    second.SetFileToOpen(QStringLiteral("/decks/later.pptx"));
    EXPECT_FALSE(second.CheckMultipleInstance());
    QTest::qWait(500);
    EXPECT_TRUE(handed.Files().empty());

    WhileMainDialogRuns(first, [&](QDialog&) { EXPECT_TRUE(handed.Wait()); });
    EXPECT_EQ(std::vector<QString>{QStringLiteral("/decks/later.pptx")}, handed.Files());
    EXPECT_TRUE(handed.AllWhileShown());
}

TEST(SingleInstance, ProcessesOfAnotherUserAreNotHeard)
{
    SharedFolder shared;
    const fs::path socket = shared.Path() / "Korvanta";
    CKorvantaApp first(MainDialogFactory(), QString::fromStdString(socket.string()));
    ASSERT_TRUE(first.CheckMultipleInstance());
    ASSERT_EQ(0, ::chmod(socket.c_str(), 0777));

    HandedOver handed(first);
    BroughtForward brought(first);
    const std::string request = std::string(kOpenRequest) + "%2Fdecks%2Ftheirs.pptx\nraise\n";
    WhileMainDialogRuns(first, [&](QDialog&) {
        EXPECT_EQ(0, RunAsUnprivileged([&] { return SendRequest(socket.string(), request); }))
            << "the request could not be sent";
        EXPECT_FALSE(brought.Wait(1000));
        EXPECT_TRUE(handed.Files().empty());
        // The same request from this user is heard.
        EXPECT_EQ(0, RunInChild([&] { return SendRequest(socket.string(), request); }));
        EXPECT_TRUE(brought.Wait());
        EXPECT_EQ(std::vector<QString>{QStringLiteral("/decks/theirs.pptx")}, handed.Files());
    });
}

TEST(SingleInstance, AnotherUsersServerUnderTheNameIsToldNothingAndReplaced)
{
    SharedFolder shared;
    const fs::path socket = shared.Path() / "Korvanta";
    const fs::path ready = shared.Path() / "listening";
    // Listens as the unprivileged user and prints whatever it is sent.
    const char* const listener =
        "import socket, sys\n"
        "s = socket.socket(socket.AF_UNIX)\n"
        "s.bind(sys.argv[1]); s.listen(1); open(sys.argv[2], 'w').close()\n"
        "s.settimeout(30); c, _ = s.accept(); c.settimeout(3)\n"
        "data = b''\n"
        "try:\n"
        "    while chunk := c.recv(4096): data += chunk\n"
        "except socket.timeout: pass\n"
        "sys.stdout.write(data.decode('latin-1'))\n";
    RunningProgram theirs({"/usr/bin/python3", "-c", listener, socket.string(), ready.string()}, {},
                          true);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(ready); }, 10s));

    const QString name = QString::fromStdString(socket.string());
    CKorvantaApp ours(NoDialog(), name);
    ours.SetFileToOpen(QStringLiteral("/decks/mine.pptx"));
    EXPECT_TRUE(ours.CheckMultipleInstance()) << "their server kept the program from running";
    const ProgramResult told = theirs.Finish();
    EXPECT_EQ("", told.out) << "a file or request went to another user";
    CKorvantaApp next(NoDialog(), name);
    EXPECT_FALSE(next.CheckMultipleInstance()) << "the name is ours now";
}
