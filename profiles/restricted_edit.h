#pragma once

#include <QLineEdit>

class QMenu;
class QMimeData;

// A single-line edit that judges every way text comes in: typed keys,
// input-method commits, pastes (keyboard, context menu, middle click) and
// drops. Subclasses give the rules; text set by the program is not judged.
class CRestrictedEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CRestrictedEdit(QWidget* parent = nullptr);

    // Pastes the clipboard text when the rule lets it in whole.
    void PasteChecked();

    // The standard context menu, its Paste going through PasteChecked.
    // The caller owns the menu.
    QMenu* CreateContextMenu();

protected:
    // The part of typed text that goes in, each character judged in turn.
    virtual QString AcceptTyped(const QString& text) = 0;

    // Whether text may go in whole; replacesSelection when it takes the
    // place of the selected text.
    virtual bool AcceptsWhole(const QString& text, bool replacesSelection) const = 0;

    // A paste or drop was refused.
    virtual void InsertRefused() {}

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool AcceptsDrop(const QMimeData* mime) const;
};

// Bytes the text takes in UTF-8.
int Utf8ByteCount(const QString& text);
