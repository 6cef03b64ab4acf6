#include "profiles/restricted_edit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace {

// Whether the line edit would insert the key's text, by the rule Qt uses for
// text input: printable text, not with Ctrl or Ctrl+Shift held.
bool InsertsText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return first.isPrint() || first.category() == QChar::Other_PrivateUse ||
           (first.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate());
}

// Cuts Qt's own Paste entry loose from the edit; false for other entries.
// The entry is found by its connection to paste(), else by its text.
bool DetachPlainPaste(QAction* action, QLineEdit* edit)
{
    if (QObject::disconnect(action, &QAction::triggered, edit, &QLineEdit::paste))
        return true;
    if (QObject::disconnect(action, SIGNAL(triggered()), edit, SLOT(paste())))
        return true;
    if (!action->text().startsWith(QLineEdit::tr("&Paste")))
        return false;
    QObject::disconnect(action, &QAction::triggered, edit, nullptr);
    return true;
}

} // namespace

int Utf8ByteCount(const QString& text)
{
    return static_cast<int>(text.toUtf8().size());
}

QString FirstLine(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    }
    return text;
}

CRestrictedEdit::CRestrictedEdit(QWidget* parent) : QLineEdit(parent) {}

void CRestrictedEdit::PasteChecked()
{
    if (isReadOnly())
        return;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText()) {
        InsertRefused();
        return;
    }
    InsertChecked(mime->text(), true);
}

void CRestrictedEdit::InsertChecked(const QString& text, bool replacesSelection)
{
    const QString line = FirstLine(text);
    if (!AcceptsWhole(line, replacesSelection)) {
        InsertRefused();
        return;
    }
    if (!replacesSelection)
        deselect();
    insert(line);
}

QMenu* CRestrictedEdit::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (!DetachPlainPaste(action, this))
            continue;
        action->setObjectName(QStringLiteral("edit-paste"));
        connect(action, &QAction::triggered, this, &CRestrictedEdit::PasteChecked);
    }
    return menu;
}

void CRestrictedEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        PasteChecked();
        event->accept();
        return;
    }
    if (!isReadOnly() && InsertsText(event)) {
        const QString text = event->text();
        const QString kept = AcceptTyped(text);
        if (kept != text) {
            if (!kept.isEmpty())
                insert(kept);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CRestrictedEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = FirstLine(event->commitString());
    if (event->commitString().isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    const QString kept = AcceptTyped(commit);
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void CRestrictedEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CRestrictedEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // A middle click pastes the primary selection where the platform has one.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && !isReadOnly() && clipboard->supportsSelection()) {
        InsertChecked(clipboard->text(QClipboard::Selection), false);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// Dropped files are left to the dialog; dropped text goes in like a paste
// at the drop point, which never replaces the selection.
bool CRestrictedEdit::AcceptsDrop(const QMimeData* mime) const
{
    return mime && !isReadOnly() && !mime->hasUrls() && mime->hasText() &&
           AcceptsWhole(FirstLine(mime->text()), false);
}

void CRestrictedEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsDrop(event->mimeData()))
        QLineEdit::dragEnterEvent(event);
    else
        event->ignore();
}

void CRestrictedEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (AcceptsDrop(event->mimeData()))
        QLineEdit::dragMoveEvent(event);
    else
        event->ignore();
}

void CRestrictedEdit::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (AcceptsDrop(mime)) {
        // The line edit inserts what the drop carries: give it the first line.
        QMimeData line;
        line.setText(FirstLine(mime->text()));
        QDropEvent cut(event->position(), event->possibleActions(), &line, event->buttons(),
                       event->modifiers(), event->type());
        QLineEdit::dropEvent(&cut);
        event->setDropAction(cut.dropAction());
        event->setAccepted(cut.isAccepted());
        return;
    }
    if (mime && !mime->hasUrls() && mime->hasText())
        InsertRefused();
    event->ignore();
}
