#pragma once

#include <string>

// The password for a login: KORVANTA_PASSWORD when set, else typed at a
// prompt that does not echo when standard input is a terminal, else empty.
// Never taken from an argument, where the process list would show it.
std::string ReadPassword();
