#pragma once

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

// Types text key by key; characters outside ASCII arrive as a key press
// carrying that character, as a keyboard layout sends them.
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const char32_t character : text.toUcs4()) {
        if (character < 0x80)
            QTest::keyClick(widget, static_cast<char>(character));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown,
                                QString::fromUcs4(&character, 1), Qt::NoModifier);
    }
}

inline void PutTextOnClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

inline void PutImageOnClipboard()
{
    auto* mime = new QMimeData;
    mime->setImageData(QImage(8, 8, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(mime);
}

// Commits text as an input method does at the end of a composition.
inline void CommitText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

// Opens the edit's context menu as a right click does and chooses Paste.
// False when the menu has no Paste entry or the entry is disabled.
inline bool PasteFromContextMenu(QLineEdit* edit)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                            edit->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(edit, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return false;
    auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    const bool usable = paste && paste->isEnabled();
    if (usable)
        paste->trigger();
    menu->close();
    QApplication::processEvents();
    return usable;
}

// Drags mime data over the edit and drops it; true when the edit took it.
inline bool Drop(QLineEdit* edit, const QMimeData& mime)
{
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    return drop.isAccepted();
}

inline bool DropText(QLineEdit* edit, const QString& text)
{
    QMimeData mime;
    mime.setText(text);
    return Drop(edit, mime);
}
