#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QDialog;
class QLocalServer;
class QLocalSocket;
class QWidget;

// Where a running instance listens: the socket "Korvanta" in a folder only
// this user can enter. Empty when there is no such folder.
QString InstanceServerName();

// What a second start sends to the running instance, one line each, and what
// the instance answers once its top dialog has been brought forward. A file
// to open goes as "open " and its path's bytes, percent-encoded.
inline constexpr char kOpenRequest[] = "open ";
inline constexpr char kRaiseRequest[] = "raise";
inline constexpr char kRaisedReply[] = "raised";

// The application object: keeps a second copy of the program from running,
// switches the debug log on from the command line, picks the language of the
// user interface (ours and Qt's) and runs the main dialog. The process ends
// when it returns.
class CKorvantaApp : public QObject
{
    Q_OBJECT

public:
    using DialogFactory = std::function<std::unique_ptr<QDialog>()>;

    explicit CKorvantaApp(DialogFactory makeMainDialog, QString serverName = InstanceServerName());
    ~CKorvantaApp() override;
    CKorvantaApp(const CKorvantaApp&) = delete;
    CKorvantaApp& operator=(const CKorvantaApp&) = delete;

    // The start-up sequence, up to the end of the main dialog, for the whole
    // argument text of the command line. Always false: nothing of the
    // application runs after it.
    bool InitInstance(const std::string& argumentText);
    // Gives up the instance name; the process's exit code.
    int ExitInstance();

    // The file the user started the program with (an absolute path), for
    // the main dialog, or for the running instance when there is one.
    void SetFileToOpen(const QString& path) { fileToOpen_ = path; }

    // True when this process may run. False when another instance of this
    // user holds the name; that instance has then been handed the file to
    // open and asked to come forward. A socket left by a crashed instance,
    // or held by another user, is replaced; when the name cannot be taken at
    // all, the program runs unguarded.
    virtual bool CheckMultipleInstance();

    // True when the user's locale is one whose language the program shows.
    bool IsSupportedLocale() const;

    // Constructs the main dialog, shows it until it ends and destroys it.
    // The file to open is handed to it once it shows.
    void RunMainDialog();
    // The main dialog while it runs.
    QWidget* MainWindow() const { return mainWindow_; }

    // Raises and activates the active modal dialog, else the main dialog.
    // False when there is no dialog yet.
    bool BringForward();

signals:
    // A second start had this window brought forward.
    void broughtForward(QWidget* window);
    // A file for the main dialog to take, as if dropped on it: the one the
    // program started with, or one a second start handed over.
    void fileHandedOver(const QString& path);

private:
    void TakeConnections();
    void ReadRequests(QLocalSocket* socket);
    void HandOver(const QString& path);

    DialogFactory makeMainDialog_;
    QString serverName_;
    std::unique_ptr<QLocalServer> server_;
    QPointer<QWidget> mainWindow_;
    QString fileToOpen_;
};
