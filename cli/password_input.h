#pragma once

#include <optional>
#include <string>

// The password for a login: KORVANTA_PASSWORD when set, else typed at a
// prompt that does not echo when standard input is a terminal. Nothing when
// neither is there, so that a script that forgot the variable does not save
// an empty password. Never taken from an argument, where the process list
// would show it.
std::optional<std::string> ReadGivenPassword();

// The same, empty when no password is given.
std::string ReadPassword();
