#pragma once

#include "platform/file_lock.h"

#include <filesystem>

// An advisory lock (flock) on a lock file beside the profile file, taken
// around every load-change-save, so that writers take turns. Other
// processes of this program wait for it; nothing else is kept out.
class ProfileFileLock
{
public:
    // Waits up to a few seconds for the lock; Held() tells whether it came.
    // The lock file is made beside profileFile when missing.
    explicit ProfileFileLock(const std::filesystem::path& profileFile);

    bool Held() const { return lock_.IsLocked(); }

private:
    FileLock lock_;
};
