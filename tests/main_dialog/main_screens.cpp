// Renders the main window offscreen to PNG files, in the language the
// program picks for the user's locale, for the README and a look at the
// layout:
//   main_screens FOLDER PRESENTATION DESTINATION [SUFFIX]
// writes FOLDER/main-window[SUFFIX].png with the presentation and the local
// destination folder chosen. Without a suffix it also converts the
// presentation for real and writes conversion-finished.png with the message
// over the window, then processing.png and version.png.

#include "app/korvanta_app.h"
#include "app/korvanta_dlg.h"
#include "app/processing_dlg.h"
#include "app/version_info_dlg.h"
#include "profiles/conn_prof_controller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

const ConnectProfileData kProfiles[] = {
    {"Marketing FTP", "ftp://ftp.example.com/presentations/", true, "marketing", "pw"},
    {"Lobby screen", "ftp://10.0.4.20:2121/lobby/", false, "", ""},
};

struct Request
{
    QString folder;
    QString presentation;
    QString destination;
    QString suffix;
};

bool Save(const QPixmap& picture, const QString& folder, const QString& name)
{
    const QString path = folder + QLatin1Char('/') + name;
    const bool saved = !picture.isNull() && picture.save(path);
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(path), picture.width(),
                picture.height());
    return saved;
}

// The window once it is drawn, a moment after showing it.
QPixmap ShowAndGrab(QWidget* window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return {};
    QTest::qWait(300);
    return window->grab();
}

// Presses Convert&Save and grabs the message box that ends the run, drawn
// over the window.
QPixmap ConvertAndGrabMessage(QWidget* window)
{
    QPixmap picture;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        QTest::qWait(50);
        picture = window->grab();
        const QPixmap message = box->grab();
        // The offscreen platform draws no window frame: a thin line stands in.
        const QRect place((picture.width() - message.width()) / 2,
                          (picture.height() - message.height()) / 2, message.width(),
                          message.height());
        QPainter painter(&picture);
        painter.drawPixmap(place.topLeft(), message);
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawRect(place.adjusted(-1, -1, 0, 0));
        box->button(QMessageBox::Ok)->click();
    });
    watch.start(20);
    window->findChild<QPushButton*>(QStringLiteral("1018"))->click();
    return picture;
}

bool RenderAll(const Request& request)
{
    CKorvantaDlg window;
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("104"))->setText(request.presentation);
    window.findChild<QLineEdit*>(QStringLiteral("1011"))->setText(request.destination);
    bool saved = Save(ShowAndGrab(&window), request.folder,
                      QStringLiteral("main-window%1.png").arg(request.suffix));
    if (!request.suffix.isEmpty())
        return saved;

    saved &= Save(ConvertAndGrabMessage(&window), request.folder,
                  QStringLiteral("conversion-finished.png"));
    CProcessingDlg processing(&window);
    saved &= Save(ShowAndGrab(&processing), request.folder, QStringLiteral("processing.png"));
    processing.hide();
    CVersionInfoDlg version(&window);
    saved &= Save(ShowAndGrab(&version), request.folder, QStringLiteral("version.png"));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: main_screens FOLDER PRESENTATION DESTINATION [SUFFIX]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Request request{QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                          QString::fromLocal8Bit(argv[3]),
                          argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString()};
    QDir().mkpath(request.folder);

    // The saved destinations the Server list offers, in a fresh profile file.
    ConnProfController controller;
    for (const ConnectProfileData& profile : kProfiles)
        controller.AddConnectProfile(profile);

    // The language comes as the program's start picks it.
    bool saved = false;
    CKorvantaApp app(
        [&]() -> std::unique_ptr<QDialog> {
            saved = RenderAll(request);
            return nullptr;
        },
        QStringLiteral("korvanta-screens-%1").arg(::getpid()));
    app.InitInstance("");
    app.ExitInstance();
    return saved ? 0 : 1;
}
