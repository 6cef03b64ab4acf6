#pragma once

#include "profiles/restricted_edit.h"

#include <string_view>

// An edit that takes printable ASCII only, the space as an option. Typed
// characters outside that range are dropped; a paste is refused whole when it
// holds a character outside ASCII or, unless allowed, a space. Never beeps.
class CInputControlEdit : public CRestrictedEdit
{
    Q_OBJECT

public:
    explicit CInputControlEdit(QWidget* parent = nullptr);

    // false, the start value, refuses the space.
    void SetAllowSpace(bool allow);
    bool GetAllowSpace() const { return allowSpace_; }

    // True when no byte of the UTF-8 text starts or continues a character
    // of more than one byte and, unless spaces are allowed, none is a space.
    bool IsPasteTextAllowed(std::string_view text) const;

protected:
    QString AcceptTyped(const QString& text) override;
    bool AcceptsWhole(const QString& text, bool replacesSelection) const override;

private:
    bool allowSpace_ = false;
};
