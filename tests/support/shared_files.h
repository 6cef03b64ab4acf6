#pragma once

#include <filesystem>
#include <string>

// Decks and profile vectors shared with the project, read in place.
inline std::filesystem::path SharedDeck(const std::string& name)
{
    return std::filesystem::path(KORVANTA_SHARED_DIR) / "decks" / name;
}

inline std::filesystem::path SharedVector(const std::string& name)
{
    return std::filesystem::path(KORVANTA_SHARED_DIR) / "vectors" / name;
}
