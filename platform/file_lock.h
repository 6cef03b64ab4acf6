#pragma once

#include <chrono>
#include <filesystem>

// An exclusive advisory lock (flock) on a file or folder, held until the
// object goes. The descriptor is close-on-exec, so no program we start
// keeps the lock alive after us.
class FileLock
{
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    // Locks the file, creating it (mode 0600) when it is missing. Waits for
    // the lock, or gives up at once when wait is false.
    bool Lock(const std::filesystem::path& file, bool wait);
    // Locks the file like Lock, trying until patience has passed. A lock
    // file that only another user may write is locked read-only.
    bool LockWithin(const std::filesystem::path& file, std::chrono::milliseconds patience);
    // Locks an existing folder, never following a link. Waits for the lock,
    // or gives up at once when wait is false.
    bool LockFolder(const std::filesystem::path& folder, bool wait);
    bool IsLocked() const { return descriptor_ >= 0; }
    void Unlock();

private:
    bool LockOpened(int descriptor, bool wait);

    int descriptor_ = -1;
};
