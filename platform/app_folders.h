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

// Where the help pages and other data live: $KORVANTA_DATA_DIR, else the
// data folder of the running program (DataFolderOf).
std::filesystem::path DataFolder();

// The data folder of the program at the path: share/korvanta beside the
// program's own folder, as <prefix>/share/korvanta lies beside <prefix>/bin
// and the build tree's copy beside the program's folder in the build tree
// (build/share/korvanta, build/app/korvanta); else the folder of the prefix
// it was built for.
std::filesystem::path DataFolderOf(const std::filesystem::path& program);

} // namespace platform
