#include "profiles/settings_dialog_support.h"

#include "platform/string_resources.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace {

constexpr int kCaptionId = 102;

QString ResourceText(int id)
{
    return QString::fromStdString(platform::LoadResourceString(id).value_or(std::string()));
}

// The mean advance of the 52 Latin letters, rounded. The font's own average
// character width is a full ideograph in a CJK font, twice a letter.
int AverageLetterWidth(const QFontMetrics& metrics)
{
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
}

} // namespace

int DialogUnitsX(const QWidget* widget, int units)
{
    return units * AverageLetterWidth(widget->fontMetrics()) / 4;
}

int DialogUnitsY(const QWidget* widget, int units)
{
    return units * widget->fontMetrics().height() / 8;
}

QPushButton* MakeButton(QWidget* parent, const char* id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(id));
    return button;
}

QString SettingsCaption()
{
    return ResourceText(kCaptionId);
}

void ShowSettingsError(QWidget* parent, int textId)
{
    QMessageBox box(QMessageBox::Critical, SettingsCaption(), ResourceText(textId), QMessageBox::Ok,
                    parent);
    box.exec();
}
