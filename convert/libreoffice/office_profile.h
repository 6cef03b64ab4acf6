#pragma once

#include <filesystem>

// Prepares a new private office profile so that the office starts at once:
// it records this office version as already set up, which skips the
// first-start graphics self-tests and the restart after them. An existing
// profile is left as it is.
void SeedOfficeProfile(const std::filesystem::path& profileFolder);
