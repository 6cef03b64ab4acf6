#include "platform/app_folders.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

fs::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

// An XDG base folder from its variable; relative values are ignored, as the
// XDG rules say.
fs::path XdgFolder(const char* variable, const char* fallbackBelowHome)
{
    if (const char* value = std::getenv(variable); value && *value == '/')
        return value;
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / fallbackBelowHome;
}

} // namespace

fs::path AppDataFolder()
{
    const fs::path base = XdgFolder("XDG_CONFIG_HOME", ".config");
    return base.empty() ? fs::path() : base / "korvanta";
}

bool EnsureAppDataFolder()
{
    const fs::path folder = AppDataFolder();
    if (folder.empty())
        return false;
    std::error_code error;
    if (fs::is_directory(folder, error))
        return true;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) == 0)
        return true;
    return fs::is_directory(folder, error);
}

fs::path AppCacheFolder()
{
    const fs::path base = XdgFolder("XDG_CACHE_HOME", ".cache");
    return base.empty() ? fs::path() : base / "korvanta";
}

fs::path TempFilesFolder()
{
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    return error ? fs::path() : folder;
}

fs::path ExecutablePath()
{
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

fs::path DataFolder()
{
    if (const char* value = std::getenv("KORVANTA_DATA_DIR"); value && *value)
        return value;
    return DataFolderOf(ExecutablePath());
}

fs::path DataFolderOf(const fs::path& program)
{
    // Also when installed under another prefix than the one built for, or
    // run from the build tree.
    const fs::path beside = program.parent_path().parent_path() / "share/korvanta";
    std::error_code error;
    if (fs::is_directory(beside, error))
        return beside;
    return KORVANTA_DATA_DIR;
}

} // namespace platform
