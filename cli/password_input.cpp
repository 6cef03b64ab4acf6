#include "cli/password_input.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace {

std::optional<std::string>& PasswordFromEnvironment()
{
    static std::optional<std::string> password;
    return password;
}

} // namespace

void TakePasswordFromEnvironment()
{
    if (const char* fromEnvironment = std::getenv("KORVANTA_PASSWORD")) {
        PasswordFromEnvironment() = fromEnvironment;
        ::unsetenv("KORVANTA_PASSWORD");
    }
}

std::optional<std::string> ReadGivenPassword()
{
    if (PasswordFromEnvironment())
        return PasswordFromEnvironment();
    if (!::isatty(STDIN_FILENO))
        return std::nullopt;
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    termios saved{};
    const bool silenced = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (silenced) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string password;
    const bool answered = static_cast<bool>(std::getline(std::cin, password));
    if (silenced)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    if (!answered)
        return std::nullopt;
    return password;
}

std::string ReadPassword()
{
    return ReadGivenPassword().value_or("");
}
