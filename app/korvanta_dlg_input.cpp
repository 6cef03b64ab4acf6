// How the main dialog takes its paths: the file and folder choosers, files
// dropped on the dialog or handed to it, and Enter.

#include "app/korvanta_dlg.h"

#include "convert/source_checks.h"
#include "profiles/byte_limit_edit.h"
#include "profiles/settings_dialog_support.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

// What a 512-character buffer holds of a dropped path.
constexpr qsizetype kDroppedPathCharacters = 511;

// The first dropped item, when it is a file or folder of this machine.
QString DroppedPath(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return {};
    const QUrl first = mime->urls().constFirst();
    return first.isLocalFile() ? first.toLocalFile() : QString();
}

} // namespace

void CKorvantaDlg::OnSourceBrowse()
{
    StoreFields();
    QStringList patterns;
    for (const std::string& extension : PresentationExtensions()) {
        const QString lower = QString::fromStdString(extension);
        patterns << "*" + lower << "*" + lower.toUpper();
    }
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(), "PowerPoint File (" + patterns.join(' ') + ")");
    if (path.isEmpty())
        return;
    sourcePath_ = path;
    ShowFields();
    UpdateControls();
}

void CKorvantaDlg::OnLocalFolderBrowse()
{
    StoreFields();
    const QString folder =
        QFileDialog::getExistingDirectory(this, QString(), QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    localFolder_ = folder;
    ShowFields();
    UpdateControls();
}

void CKorvantaDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CKorvantaDlg::dropEvent(QDropEvent* event)
{
    // Whatever it is, the checks of Convert&Save judge it.
    const QString path = DroppedPath(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    TakeFile(path);
}

void CKorvantaDlg::TakeFile(const QString& path)
{
    sourcePath_ = path.left(kDroppedPathCharacters);
    ShowFields();
    StoreFields();
    UpdateControls();
}

void CKorvantaDlg::keyPressEvent(QKeyEvent* event)
{
    // No button is the default: Enter outside a push button ends the dialog
    // as OK does. A push button with the focus takes Enter itself.
    if (IsEnterKey(event)) {
        StoreFields();
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
