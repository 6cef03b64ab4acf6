#include "tests/support/isolated_home.h"

#include <cstdlib>

namespace {

std::optional<std::string> Replace(const char* name, const std::string& value)
{
    std::optional<std::string> saved;
    if (const char* old = std::getenv(name))
        saved = old;
    ::setenv(name, value.c_str(), 1);
    return saved;
}

void Restore(const char* name, const std::optional<std::string>& saved)
{
    if (saved)
        ::setenv(name, saved->c_str(), 1);
    else
        ::unsetenv(name);
}

} // namespace

IsolatedHome::IsolatedHome()
    : home_(Replace("HOME", root_.Path().string())),
      config_(Replace("XDG_CONFIG_HOME", (root_ / ".config").string()))
{
}

IsolatedHome::~IsolatedHome()
{
    Restore("XDG_CONFIG_HOME", config_);
    Restore("HOME", home_);
}
