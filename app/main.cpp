// korvanta: the desktop program. One modal dialog; the process ends with it.

#include "app/korvanta_app.h"
#include "app/korvanta_dlg.h"
#include "log/log_switch.h"

#include <QApplication>
#include <QIcon>

#include <string>

int main(int argc, char** argv)
{
    // Qt takes its own options out of argv; the log switch is judged on the
    // command line as it was given.
    const std::string argumentText = ArgumentText(argc, argv);

    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/korvanta.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvanta"));

    CKorvantaApp app([] { return std::make_unique<CKorvantaDlg>(); });
    app.InitInstance(argumentText);
    return app.ExitInstance();
}
