#pragma once

#include "profiles/restricted_edit.h"

// An edit whose text is held to a number of bytes in UTF-8. A typed
// character that does not fit is refused: with a beep when it takes more
// than one byte, silently when it is a one-byte character at the limit.
// A paste that does not fit whole is refused with a beep, never shortened.
// The selected text counts as free, since typing or pasting replaces it.
class CByteLimitEdit : public CRestrictedEdit
{
    Q_OBJECT

public:
    explicit CByteLimitEdit(QWidget* parent = nullptr);

    // 0, the start value, means no limit.
    void SetByteLimit(int bytes);
    int GetByteLimit() const { return limit_; }

    // UTF-8 bytes of the selected text; 0 when nothing is selected.
    int GetSelectedBytes() const;

    // Bytes still free once the selection is replaced; may be 0 or less.
    int GetRemainingBytes() const;

protected:
    virtual void Beep();

    QString AcceptTyped(const QString& text) override;
    bool AcceptsWhole(const QString& text, bool replacesSelection) const override;
    void InsertRefused() override;

private:
    int limit_ = 0;
};
