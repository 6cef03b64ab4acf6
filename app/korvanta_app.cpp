#include "app/korvanta_app.h"

#include "app/qt_translations.h"
#include "log/debug_log.h"
#include "log/log_scope.h"
#include "log/log_switch.h"
#include "platform/instance_socket.h"
#include "platform/locale_map.h"
#include "platform/string_resources.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <clocale>
#include <utility>

namespace {

// How long a second start tries to reach the running instance.
constexpr int kConnectTimeoutMs = 2000;
// More than any request line of ours: a path's bytes, percent-encoded.
constexpr qint64 kLongestRequest = 64 * 1024;

// A path may hold any byte but NUL, line breaks included; encoded, it is
// one line.
QByteArray OpenRequest(const QString& path)
{
    return kOpenRequest + QFile::encodeName(path).toPercentEncoding() + '\n';
}

// The path of an open request line; empty for any other line.
QString PathOfOpenRequest(const QByteArray& line)
{
    if (!line.startsWith(kOpenRequest))
        return {};
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(line.mid(qsizetype(sizeof kOpenRequest) - 1));
    return bytes.contains('\0') ? QString() : QFile::decodeName(bytes);
}

// Hands the file, when there is one, to the instance of this user listening
// under the name and tells it to come forward. False when nobody of ours
// listens there.
bool AskRunningInstanceToComeForward(const QString& serverName, const QString& file)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs) ||
        !platform::IsPeerOfThisUser(static_cast<int>(socket.socketDescriptor())))
        return false;
    if (!file.isEmpty())
        socket.write(OpenRequest(file));
    socket.write(QByteArray(kRaiseRequest) + '\n');
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

void Unminimize(QWidget* window)
{
    if (window && window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
}

} // namespace

QString InstanceServerName()
{
    const std::filesystem::path folder = platform::InstanceSocketFolder();
    return folder.empty() ? QString() : QString::fromStdString((folder / "Korvanta").string());
}

CKorvantaApp::CKorvantaApp(DialogFactory makeMainDialog, QString serverName)
    : makeMainDialog_(std::move(makeMainDialog)), serverName_(std::move(serverName))
{}

CKorvantaApp::~CKorvantaApp()
{
    ExitInstance();
}

bool CKorvantaApp::InitInstance(const std::string& argumentText)
{
    if (!CheckMultipleInstance())
        return false;
    // The C library follows the user's locale, like the rest of the desktop.
    std::setlocale(LC_ALL, "");
    StartDebugLog(LogLevelFromArgumentText(argumentText));
    if (!IsSupportedLocale()) {
        if (!platform::SelectStringTable(platform::kEnglishStringTable))
            return false;
    } else {
        platform::SelectStringTableForUser();
    }
    UseQtTranslation(platform::ActiveStringTable());
    RunMainDialog();
    return false;
}

int CKorvantaApp::ExitInstance()
{
    if (server_) {
        server_->close();
        server_.reset();
    }
    return 0;
}

bool CKorvantaApp::CheckMultipleInstance()
{
    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(serverName_)) {
        if (server->serverError() != QAbstractSocket::AddressInUseError)
            return true;
        if (AskRunningInstanceToComeForward(serverName_, fileToOpen_))
            return false;
        // Nobody of ours listens: a crashed instance left its socket behind.
        QLocalServer::removeServer(serverName_);
        if (!server->listen(serverName_))
            return true;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &CKorvantaApp::TakeConnections);
    server_ = std::move(server);
    return true;
}

bool CKorvantaApp::IsSupportedLocale() const
{
    return platform::IsSupportedLocaleId(platform::CurrentLocaleId());
}

void CKorvantaApp::RunMainDialog()
{
    std::unique_ptr<QDialog> dialog = makeMainDialog_();
    if (!dialog)
        return;
    mainWindow_ = dialog.get();
    if (!fileToOpen_.isEmpty()) {
        // Taken once the dialog has been set up by showing.
        QTimer::singleShot(0, dialog.get(),
                           [this, file = std::exchange(fileToOpen_, {})] { HandOver(file); });
    }
    // Not modal: a modal window would be a transient dialog to the window
    // manager, with no minimise box or taskbar entry of its own.
    QEventLoop untilEnded;
    connect(dialog.get(), &QDialog::finished, &untilEnded, &QEventLoop::quit);
    dialog->show();
    untilEnded.exec();
}

bool CKorvantaApp::BringForward()
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = mainWindow_;
    if (!target)
        return false;
    LogScope scope("CKorvantaApp::BringForward");
    Unminimize(mainWindow_);
    Unminimize(target);
    target->raise();
    target->activateWindow();
    LogInfo(scope.Name(), "%s", target->windowTitle().toUtf8().constData());
    emit broughtForward(target);
    return true;
}

void CKorvantaApp::TakeConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // Another user's process is not heard at all.
        if (!platform::IsPeerOfThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        ReadRequests(socket);
    }
}

void CKorvantaApp::ReadRequests(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (const QString path = PathOfOpenRequest(line); !path.isEmpty())
            HandOver(path);
        else if (line == kRaiseRequest && BringForward() &&
                 socket->state() == QLocalSocket::ConnectedState)
            socket->write(QByteArray(kRaisedReply) + '\n');
    }
    if (socket->bytesAvailable() > kLongestRequest)
        socket->abort();
}

void CKorvantaApp::HandOver(const QString& path)
{
    // Before the main dialog exists, the file waits for it.
    if (mainWindow_)
        emit fileHandedOver(path);
    else
        fileToOpen_ = path;
}
