#pragma once

#include <filesystem>

// Where this program keeps its files on this platform. Nothing else in the
// program knows these locations.
namespace platform {

// $XDG_CONFIG_HOME/korvanta, or ~/.config/korvanta. Not created here.
std::filesystem::path AppDataFolder();

// Creates the application folder (mode 0700) when it is missing.
// Returns false when it neither exists nor can be made.
bool EnsureAppDataFolder();

// $XDG_CACHE_HOME/korvanta, or ~/.cache/korvanta. Not created here.
std::filesystem::path AppCacheFolder();

// The temporary-files folder ($TMPDIR, else /tmp). Empty when unusable.
std::filesystem::path TempFilesFolder();

// Full path of the running executable. Empty when it cannot be read.
std::filesystem::path ExecutablePath();

// Where the installed help pages and other data live: $KORVANTA_DATA_DIR,
// else <prefix>/share/korvanta beside the program's bin folder, else the
// folder of the prefix it was built for.
std::filesystem::path DataFolder();

} // namespace platform
