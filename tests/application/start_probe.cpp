// Runs the start-up sequence of the application object in a fresh process
// and prints, in place of showing the main dialog, what the dialog would
// see: "<supported> <table>".

#include "app/korvanta_app.h"
#include "platform/string_resources.h"

#include <QApplication>
#include <QDialog>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CKorvantaApp* started = nullptr;
    CKorvantaApp app(
        [&]() -> std::unique_ptr<QDialog> {
            std::printf("%d %d\n", started->IsSupportedLocale() ? 1 : 0,
                        platform::ActiveStringTable());
            return nullptr;
        },
        QStringLiteral("korvanta-start-probe-%1").arg(::getpid()));
    started = &app;
    app.InitInstance("");
    return app.ExitInstance();
}
