#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <optional>
#include <string>

// HOME and XDG_CONFIG_HOME pointed at a fresh folder for the life of the
// object, so that the servers this process trusts (known_servers) and the
// SSH files it reads (~/.ssh) are its own; the old values come back
// afterwards.
class IsolatedHome
{
public:
    IsolatedHome();
    ~IsolatedHome();
    IsolatedHome(const IsolatedHome&) = delete;
    IsolatedHome& operator=(const IsolatedHome&) = delete;

    std::filesystem::path Home() const { return root_.Path(); }
    std::filesystem::path ConfigFolder() const { return root_ / ".config/korvanta"; }

private:
    TempFolder root_;
    std::optional<std::string> home_;
    std::optional<std::string> config_;
};
