#pragma once

class QKeyEvent;
class QPushButton;
class QString;
class QWidget;

// Pixels of a run of dialog units in the widget's font: four horizontal units
// to the average width of the letters A-Z and a-z, eight vertical units to
// the line height.
// Sizes controls as the dialog templates measured them.
int DialogUnitsX(const QWidget* widget, int units);
int DialogUnitsY(const QWidget* widget, int units);

// A push button named by its control id. It never becomes the dialog's
// default button, not even while it has the focus; it takes Enter itself
// while it has the focus.
QPushButton* MakeButton(QWidget* parent, const char* id, const QString& text);

// Return or the keypad's Enter, without modifiers.
bool IsEnterKey(const QKeyEvent* event);

// Caption of every message box of the settings dialogs (string 102).
QString SettingsCaption();

// The settings dialogs' error message: string textId under the caption,
// with the error icon and an OK button. Returns once it is answered.
void ShowSettingsError(QWidget* parent, int textId);
