#pragma once

// Qt's own texts (file and folder dialogs, edit menus, standard buttons) in
// the language of a string table.

// Installs Qt's translation for the language of the string table in place of
// the one installed before, or none for English. False when Qt has no
// translation installed for it; Qt then speaks English.
bool UseQtTranslation(int stringTableLanguage);
