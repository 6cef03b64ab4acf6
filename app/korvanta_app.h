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

// The per-user name under which a running instance listens: "Korvanta" and
// the user id, as a socket in the temporary-files folder.
QString InstanceServerName();

// What a second start sends to the running instance, one line each, and what
// the instance answers once its top dialog has been brought forward.
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

    // True when this process may run. False when another instance holds the
    // name; that instance has then been asked to come forward. A socket left
    // by a crashed instance is replaced; when the name cannot be taken at
    // all, the program runs unguarded.
    virtual bool CheckMultipleInstance();

    // True when the user's locale is one whose language the program shows.
    bool IsSupportedLocale() const;

    // Constructs the main dialog, shows it until it ends and destroys it.
    void RunMainDialog();
    // The main dialog while it runs.
    QWidget* MainWindow() const { return mainWindow_; }

    // Raises and activates the active modal dialog, else the main dialog.
    // False when there is no dialog yet.
    bool BringForward();

signals:
    // A second start had this window brought forward.
    void broughtForward(QWidget* window);

private:
    void TakeConnections();
    void ReadRequests(QLocalSocket* socket);

    DialogFactory makeMainDialog_;
    QString serverName_;
    std::unique_ptr<QLocalServer> server_;
    QPointer<QWidget> mainWindow_;
};
