#include "app/korvanta_app.h"

#include "app/qt_translations.h"
#include "log/debug_log.h"
#include "log/log_scope.h"
#include "log/log_switch.h"
#include "platform/locale_map.h"
#include "platform/string_resources.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>

#include <clocale>
#include <unistd.h>

namespace {

// How long a second start tries to reach the running instance.
constexpr int kConnectTimeoutMs = 2000;

// Tells the instance listening under the name to come forward. False when
// nobody listens there.
bool AskRunningInstanceToComeForward(const QString& serverName)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
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
    return QStringLiteral("Korvanta-%1").arg(::getuid());
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
        if (AskRunningInstanceToComeForward(serverName_))
            return false;
        // Nobody listens: a crashed instance left its socket behind.
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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        ReadRequests(socket);
    }
}

void CKorvantaApp::ReadRequests(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine().trimmed() != kRaiseRequest)
            continue;
        if (BringForward() && socket->state() == QLocalSocket::ConnectedState)
            socket->write(QByteArray(kRaisedReply) + '\n');
    }
}
