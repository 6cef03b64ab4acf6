#pragma once

// Qt's own texts (file and folder dialogs, edit menus, standard buttons) in
// the language of a string table.

// Installs Qt's translation for the language of the string table, once at
// start; none for English. False when Qt's translation is not installed; Qt
// then speaks English.
bool UseQtTranslation(int stringTableLanguage);
