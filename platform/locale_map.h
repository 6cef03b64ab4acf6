#pragma once

#include <string_view>

// The user's locale as a Windows locale identifier (LCID), and the choice of
// string table that follows from it.
namespace platform {

// The locale identifier of a POSIX locale name such as "de_AT",
// "de_AT.UTF-8" or "sr_RS@latin"; 0 when the table has none ("C", "POSIX").
int LocaleIdFromName(std::string_view name);

// True for the locales whose users see their own language; everybody else
// sees English.
bool IsSupportedLocaleId(int lcid);

// The language of the string table for a locale: its own language when the
// locale is supported, English otherwise.
int StringTableForLocaleId(int lcid);

// The user's locale as Qt reads it (LC_ALL, then LC_MESSAGES, then LANG).
int CurrentLocaleId();

// Activates the string table for the user's locale; returns its language.
// Called once at start by the desktop program and the command line.
int SelectStringTableForUser();

} // namespace platform
