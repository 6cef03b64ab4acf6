#include "cli/password_input.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <termios.h>
#include <unistd.h>

std::string ReadPassword()
{
    if (const char* fromEnvironment = std::getenv("KORVANTA_PASSWORD"))
        return fromEnvironment;
    if (!::isatty(STDIN_FILENO))
        return {};
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
    std::getline(std::cin, password);
    if (silenced)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    return password;
}
