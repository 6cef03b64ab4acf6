#include "profiles/byte_limit_edit.h"

#include <QApplication>

namespace {

int Utf8Bytes(char32_t character)
{
    if (character < 0x80)
        return 1;
    if (character < 0x800)
        return 2;
    if (character < 0x10000)
        return 3;
    return 4;
}

bool IsControl(char32_t character)
{
    return character < 0x20 || character == 0x7F;
}

} // namespace

CByteLimitEdit::CByteLimitEdit(QWidget* parent) : CRestrictedEdit(parent) {}

void CByteLimitEdit::SetByteLimit(int bytes)
{
    limit_ = bytes;
}

int CByteLimitEdit::GetSelectedBytes() const
{
    return hasSelectedText() ? Utf8ByteCount(selectedText()) : 0;
}

int CByteLimitEdit::GetRemainingBytes() const
{
    return limit_ - Utf8ByteCount(text()) + GetSelectedBytes();
}

void CByteLimitEdit::Beep()
{
    QApplication::beep();
}

QString CByteLimitEdit::AcceptTyped(const QString& text)
{
    if (limit_ == 0)
        return text;
    int remaining = GetRemainingBytes();
    bool refusedWide = false;
    QString kept;
    for (const char32_t character : text.toUcs4()) {
        const int bytes = Utf8Bytes(character);
        if (bytes > 1 && remaining < bytes) {
            refusedWide = true;
            continue;
        }
        if (remaining <= 0 && !IsControl(character))
            continue;
        kept += QString::fromUcs4(&character, 1);
        remaining -= bytes;
    }
    if (refusedWide)
        Beep();
    return kept;
}

bool CByteLimitEdit::AcceptsWhole(const QString& text, bool replacesSelection) const
{
    if (limit_ == 0)
        return true;
    const int free =
        limit_ - Utf8ByteCount(this->text()) + (replacesSelection ? GetSelectedBytes() : 0);
    return Utf8ByteCount(text) <= free;
}

void CByteLimitEdit::InsertRefused()
{
    if (limit_ != 0)
        Beep();
}
