#pragma once

class QString;
class QWidget;

// Sets a control's text to string id of the active table, cut to 127
// characters, only when the string loads; otherwise the control keeps the
// text it has. Labels, buttons, group boxes, edits and menus take it as their
// text or title, any other widget as its window title. Give a label its buddy
// first: a label without one shows its mnemonics resolved ("&&" as "&").
// Always reports success.
bool SetTextFromResource(QWidget* control, int id);

// Text with its mnemonic marks resolved, as a control without a shortcut
// shows it: "&&" becomes "&", any other '&' is dropped.
QString WithoutMnemonics(const QString& text);
