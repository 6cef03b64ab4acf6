// Renders the main dialog offscreen to PNG files for a look at its layout:
// empty, with a source and a local folder, in Server mode, and with the
// message of a real conversion over it.
//   main_screens [output folder]   (default /tmp/korvanta-screens)

#include "app/korvanta_dlg.h"
#include "platform/string_resources.h"
#include "profiles/conn_prof_controller.h"
#include "tests/support/shared_files.h"
#include "tests/support/temp_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const ConnectProfileData kProfiles[] = {
    {"Marketing FTP", "ftp://ftp.example.com/presentations/", true, "marketing", "pw"},
    {"Lobby screen", "ftp://10.0.4.20:2121/lobby/", false, "", ""},
};

bool Save(const QPixmap& picture, const QString& folder, const std::string& name)
{
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(name);
    const bool saved = picture.save(path);
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(path), picture.width(),
                picture.height());
    return saved;
}

template <typename T> T* Find(QWidget* dialog, const char* id)
{
    return dialog->findChild<T*>(QString::fromLatin1(id));
}

bool Show(QWidget* dialog)
{
    dialog->show();
    const bool exposed = QTest::qWaitForWindowExposed(dialog);
    QTest::qWait(50);
    return exposed;
}

QString Deck()
{
    return QString::fromStdString(std::filesystem::canonical(SharedDeck("SampleShow.pptx")));
}

// Presses Convert&Save and grabs the message box that ends the run, drawn
// over the dialog.
QPixmap ConvertAndGrabMessage(QWidget* dialog)
{
    QPixmap picture;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        QTest::qWait(50);
        picture = dialog->grab();
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
    Find<QPushButton>(dialog, "1018")->click();
    return picture;
}

bool RenderAll(const QString& folder, const std::string& suffix, const TempFolder& target)
{
    bool saved = true;
    {
        CKorvantaDlg dialog;
        saved &= Show(&dialog) && Save(dialog.grab(), folder, "main-empty" + suffix + ".png");

        Find<QLineEdit>(&dialog, "104")->setText(Deck());
        Find<QLineEdit>(&dialog, "1011")->setText(QString::fromStdString(target.Path().string()));
        saved &= Save(dialog.grab(), folder, "main-local" + suffix + ".png");

        const QPixmap success = ConvertAndGrabMessage(&dialog);
        saved &= !success.isNull() && Save(success, folder, "main-success" + suffix + ".png");
    }
    CKorvantaDlg dialog;
    saved &= Show(&dialog);
    Find<QLineEdit>(&dialog, "104")->setText(Deck());
    Find<QRadioButton>(&dialog, "1008")->click();
    QTest::qWait(50);
    saved &= Save(dialog.grab(), folder, "main-server" + suffix + ".png");
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvanta-screens");
    QDir().mkpath(folder);

    // The profile file and the working folders go to throw-away folders.
    TempFolder config;
    TempFolder target;
    TempFolder temp;
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    ::setenv("TMPDIR", temp.Path().c_str(), 1);
    ConnProfController controller;
    for (const ConnectProfileData& profile : kProfiles)
        controller.AddConnectProfile(profile);

    bool saved = RenderAll(folder, "", target);
    std::filesystem::remove_all(target.Path() / "SampleShow");
    platform::SelectStringTable(1031);
    saved &= RenderAll(folder, "-de", target);
    return saved ? 0 : 1;
}
