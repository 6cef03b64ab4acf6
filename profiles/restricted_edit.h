#pragma once

#include <QLineEdit>

class QMenu;
class QMimeData;

// A single-line edit that judges every way text comes in: typed keys,
// input-method commits, pastes (keyboard, context menu, middle click) and
// drops. Text that comes in holding a line break is cut at the first one, as
// a one-line edit control does; Qt's own line edit would keep it. Subclasses
// add rules of their own; text set by the program is not judged.
class CRestrictedEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CRestrictedEdit(QWidget* parent = nullptr);

    // Pastes the clipboard's first line when the rule lets it in whole.
    void PasteChecked();

    // The standard context menu, its Paste going through PasteChecked.
    // The caller owns the menu.
    QMenu* CreateContextMenu();

protected:
    // The part of typed text that goes in, each character judged in turn.
    virtual QString AcceptTyped(const QString& text) { return text; }

    // Whether text may go in whole; replacesSelection when it takes the
    // place of the selected text.
    virtual bool AcceptsWhole(const QString&, bool) const { return true; }

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
    // Inserts text cut at its first line break, when the rule lets it in.
    void InsertChecked(const QString& text, bool replacesSelection);
};

// Bytes the text takes in UTF-8.
int Utf8ByteCount(const QString& text);

// text up to its first carriage return or line feed.
QString FirstLine(const QString& text);
