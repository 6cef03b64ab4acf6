#pragma once

#include <optional>
#include <string>

// Moves KORVANTA_PASSWORD out of the environment into this process's memory,
// so that no program we start (xdg-open, the offices) inherits it. Called
// once, first thing, before any thread or child is started.
void TakePasswordFromEnvironment();

// The password for a login: KORVANTA_PASSWORD when it was set, else typed at a
// prompt that does not echo when standard input is a terminal. Nothing when
// neither is there, so that a script that forgot the variable does not save
// an empty password. Never taken from an argument, where the process list
// would show it.
std::optional<std::string> ReadGivenPassword();

// The same, empty when no password is given.
std::string ReadPassword();
