#pragma once

#include <filesystem>
#include <string>

// The decks the build makes from tests/decks, by name: widescreen (2 slides,
// 16:9, a picture), standard (9 slides, 4:3) and office-families (20 slides,
// one hidden; text in each Office family of our font table, Latin and CJK),
// each as .pptx and .ppt; damaged.pptx and damaged.ppt, the widescreen deck
// cut off halfway; and password-protected.pptx, the widescreen deck that
// opens only with the password "secret".
inline std::filesystem::path TestDeck(const std::string& name)
{
    return std::filesystem::path(KORVANTA_TEST_DECKS_DIR) / name;
}
