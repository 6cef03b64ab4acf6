#include "profiles/settings_dialog_support.h"

#include "platform/string_resources.h"

#include <QFontMetrics>
#include <QKeyEvent>
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

class PlainPushButton : public QPushButton
{
public:
    PlainPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
    {
        setAutoDefault(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (IsEnterKey(event))
            click();
        else
            QPushButton::keyPressEvent(event);
    }
};

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
    auto* button = new PlainPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(id));
    return button;
}

bool IsEnterKey(const QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    return enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
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
