// Renders the destination settings dialogs offscreen, filled with a few
// destinations, to PNG files for a look at their layout:
//   settings_screens [output folder]   (default /tmp/korvanta-screens)

#include "platform/string_resources.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/conn_profile_dlg.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

const ConnectProfileData kProfiles[] = {
    {"Marketing FTP", "ftp://ftp.example.com/presentations/", true, "marketing", "s3cret pw"},
    {"Sales share (Berlin)", "\\\\fs-berlin\\sales\\slides", true, "EXAMPLE\\jschmidt", "pw"},
    {"Lobby screen", "ftp://10.0.4.20:2121/lobby/", false, "", ""},
    {"Training room", "\\\\nas01\\training\\decks", false, "", ""},
};

bool Save(QWidget* dialog, const QString& folder, const char* name)
{
    dialog->show();
    QTest::qWait(50);
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    const bool saved = dialog->grab().save(path);
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(path), dialog->width(),
                dialog->height());
    return saved;
}

// The list with the second destination chosen, and the edit dialog over an
// authenticated destination and over a new one.
bool RenderAll(ConnProfController& controller, const QString& folder, const char* suffix)
{
    CConnectProfileDlg list;
    list.SetController(&controller);
    list.SetInitialSelection(1);
    bool saved = Save(&list, folder, (std::string("settings-list") + suffix + ".png").c_str());

    auto* edit = list.findChild<CConProfEditDlg*>();
    edit->SetProfileIndex(1);
    saved &= Save(edit, folder, (std::string("settings-edit") + suffix + ".png").c_str());
    edit->hide();
    edit->ClearFields();
    edit->SetProfileIndex(-1);
    saved &= Save(edit, folder, (std::string("settings-edit-new") + suffix + ".png").c_str());
    edit->hide();
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

    // The profile file goes to a throw-away configuration folder.
    TempFolder config;
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    ConnProfController controller;
    for (const ConnectProfileData& profile : kProfiles)
        controller.AddConnectProfile(profile);

    bool saved = RenderAll(controller, folder, "");
    platform::SelectStringTable(1031);
    saved &= RenderAll(controller, folder, "-de");
    return saved ? 0 : 1;
}
