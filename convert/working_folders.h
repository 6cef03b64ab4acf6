#pragma once

#include <filesystem>

// The working folders of this process's conversions. Each is locked while
// its run lives, so another run can tell an abandoned one from a busy one
// by the lock alone.
namespace working_folders {

// Takes the lock of a working folder this run has just made. False when it
// cannot be locked.
bool Claim(const std::filesystem::path& folder);
// Lets go of a working folder once it is removed.
void Release(const std::filesystem::path& folder);
// Removes every working folder this process holds, for a run that has to
// end at once.
void RemoveClaimed();
// Removes the working folders in tempFolder that belong to runs of this user
// that are gone, and only those.
void SweepAbandoned(const std::filesystem::path& tempFolder);

} // namespace working_folders
