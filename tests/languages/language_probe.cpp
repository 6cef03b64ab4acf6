// Starts as the desktop program starts under the caller's locale and, in
// place of running the main dialog, prints what the user would see:
// "table <language>", "qt <a text of Qt's file dialog>", "font <family of
// the dialog font>", then "<dialog id> <width>" for each dialog, shown once.

#include "app/korvanta_app.h"
#include "app/korvanta_dlg.h"
#include "app/processing_dlg.h"
#include "app/version_info_dlg.h"
#include "platform/string_resources.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_profile_dlg.h"

#include <QApplication>
#include <QFontInfo>
#include <QTest>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// A dialog that never shows is left out, and the test misses its width.
void PrintWidth(QDialog& dialog)
{
    dialog.show();
    if (QTest::qWaitForWindowExposed(&dialog))
        std::printf("%s %d\n", qPrintable(dialog.objectName()), dialog.width());
    dialog.hide();
}

void PrintAllWidths()
{
    std::printf("table %d\n", platform::ActiveStringTable());
    std::printf("qt %s\n", qPrintable(QCoreApplication::translate("QFileDialog", "Look in:")));
    CKorvantaDlg main;
    std::printf("font %s\n", qPrintable(QFontInfo(main.font()).family()));
    PrintWidth(main);
    CProcessingDlg processing(&main);
    PrintWidth(processing);
    CVersionInfoDlg version(&main);
    PrintWidth(version);
    CConnectProfileDlg list(&main);
    PrintWidth(list);
    CConProfEditDlg edit(&main);
    PrintWidth(edit);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CKorvantaApp app(
        []() -> std::unique_ptr<QDialog> {
            PrintAllWidths();
            return nullptr;
        },
        QStringLiteral("korvanta-language-probe-%1").arg(::getpid()));
    app.InitInstance("");
    return app.ExitInstance();
}
