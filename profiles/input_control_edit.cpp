#include "profiles/input_control_edit.h"

#include <algorithm>

CInputControlEdit::CInputControlEdit(QWidget* parent) : CRestrictedEdit(parent) {}

void CInputControlEdit::SetAllowSpace(bool allow)
{
    allowSpace_ = allow;
}

bool CInputControlEdit::IsPasteTextAllowed(std::string_view text) const
{
    return std::none_of(text.begin(), text.end(), [this](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80 || (byte == ' ' && !allowSpace_);
    });
}

QString CInputControlEdit::AcceptTyped(const QString& text)
{
    QString kept;
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        const bool control = code < 0x20 || code == 0x7F;
        const bool space = code == 0x20;
        const bool printable = code >= 0x21 && code <= 0x7E;
        if (control || printable || (space && allowSpace_))
            kept += character;
    }
    return kept;
}

bool CInputControlEdit::AcceptsWhole(const QString& text, bool) const
{
    return IsPasteTextAllowed(text.toStdString());
}
