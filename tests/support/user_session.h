#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>

// A user's session of its own for a run of the desktop program:
// configuration, cache, temporary and runtime folders that nothing else
// shares, and the environment that names them.
class UserSession
{
public:
    explicit UserSession(std::string platform = "offscreen") : platform_(std::move(platform))
    {
        for (const char* folder : {"config", "cache", "tmp", "run"})
            std::filesystem::create_directories(root_ / folder);
        ::chmod((root_ / "run").c_str(), 0700);
    }

    std::map<std::string, std::string> Environment() const
    {
        return {{"QT_QPA_PLATFORM", platform_},
                {"LANG", "C"},
                {"LC_ALL", ""},
                {"LC_MESSAGES", ""},
                {"XDG_CONFIG_HOME", (root_ / "config").string()},
                {"XDG_CACHE_HOME", (root_ / "cache").string()},
                {"XDG_RUNTIME_DIR", (root_ / "run").string()},
                {"TMPDIR", (root_ / "tmp").string()}};
    }
    std::filesystem::path Socket() const { return root_ / "run/Korvanta"; }
    std::filesystem::path Root() const { return root_.Path(); }
    std::filesystem::path Log() const { return root_ / "config/korvanta/Korvanta.log"; }
    std::filesystem::path Cache() const { return root_ / "cache"; }

private:
    std::string platform_;
    TempFolder root_;
};
