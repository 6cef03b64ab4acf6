// korvanta: the desktop program. One main window; the process ends with it.

#include "app/file_argument.h"
#include "app/korvanta_app.h"
#include "app/korvanta_dlg.h"
#include "app/office_prewarm.h"
#include "convert/run_abort.h"
#include "log/log_switch.h"
#include "platform/signal_watcher.h"

#include <QApplication>
#include <QIcon>

#include <memory>
#include <string>

int main(int argc, char** argv)
{
    // Qt takes its own options out of argv; the log switch is judged on the
    // command line as it was given.
    const std::string argumentText = ArgumentText(argc, argv);

    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/korvanta.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvanta"));

    // Asked to end from outside: nothing of ours outlives the program.
    const SignalWatcher endRequests([](int signal) { AbortRunAtOnce(128 + signal); });
    // The offices start with the main dialog, in the first instance only.
    std::unique_ptr<OfficePrewarm> offices;
    CKorvantaApp app([&offices] {
        offices = std::make_unique<OfficePrewarm>();
        return std::make_unique<CKorvantaDlg>();
    });
    app.SetFileToOpen(FileArgument(QCoreApplication::arguments()));
    QObject::connect(&app, &CKorvantaApp::fileHandedOver, &app, [&app](const QString& path) {
        if (auto* dialog = qobject_cast<CKorvantaDlg*>(app.MainWindow()))
            dialog->TakeFile(path);
    });
    app.InitInstance(argumentText);
    return app.ExitInstance();
}
