#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Real-world decks and profile vectors beside the project (../shared), read
// in place. They are optional: a test that reads them begins with
// REQUIRE_SHARED("decks") or REQUIRE_SHARED("vectors").
inline std::filesystem::path SharedDeck(const std::string& name)
{
    return std::filesystem::path(KORVANTA_SHARED_DIR) / "decks" / name;
}

inline std::filesystem::path SharedVector(const std::string& name)
{
    return std::filesystem::path(KORVANTA_SHARED_DIR) / "vectors" / name;
}

// Empty when the shared folder is there; else one line that says what is
// missing and where it goes.
std::string MissingSharedFolder(const std::string& folder);

// True in CI (CI=true), which must run every test.
bool SharedFilesRequired();

// Skips the test when the shared folder is missing, or fails it in CI.
#define REQUIRE_SHARED(folder)                                                                     \
    do {                                                                                           \
        const std::string missingShared = MissingSharedFolder(folder);                             \
        if (!missingShared.empty() && SharedFilesRequired()) {                                     \
            FAIL() << missingShared;                                                               \
        }                                                                                          \
        if (!missingShared.empty()) {                                                              \
            GTEST_SKIP() << missingShared;                                                         \
        }                                                                                          \
    } while (false)
