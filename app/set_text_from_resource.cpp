#include "app/set_text_from_resource.h"

#include "platform/string_resources.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QString>

namespace {

// What a 128-character buffer holds.
constexpr std::size_t kMaxTextCharacters = 127;

void SetText(QWidget* control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(label->buddy() ? text : WithoutMnemonics(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else
        control->setWindowTitle(text);
}

} // namespace

QString WithoutMnemonics(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            result += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u'&')
            result += text[++i];
    }
    return result;
}

bool SetTextFromResource(QWidget* control, int id)
{
    if (!control)
        return true;
    const std::optional<std::string> text = platform::LoadResourceString(id);
    if (text)
        SetText(control,
                QString::fromStdString(platform::CutToCharacters(*text, kMaxTextCharacters)));
    return true;
}
