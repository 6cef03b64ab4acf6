#pragma once

#include "profiles/zel_crypt_wrapper.h"

#include <filesystem>

// Reading the profile file whole, and replacing it so that a failed or
// interrupted save never leaves it half written.

enum class ReadOutcome
{
    Read,       // bytes holds the whole file
    Absent,     // nothing there
    Unreadable, // something is there, but it is not a file that can be read
};

// Never blocks on a FIFO or device in the file's place.
ReadOutcome ReadWholeFile(const std::filesystem::path& path, ByteBuffer& bytes);

// The file that path finally names, symbolic links followed; path itself when
// it is no link. Empty when the links go round in a circle or cannot be read.
std::filesystem::path FinalTarget(const std::filesystem::path& path);

// Whether an existing target may be replaced: a regular file that its owner
// may write and this process may write too. A missing target may be created.
bool MayReplace(const std::filesystem::path& target);

// Removes what interrupted saves left beside target. Only for a caller that
// holds the profile file lock, so no save of ours is under way.
void RemoveLeftoverTemporaries(const std::filesystem::path& target);

// A new file beside target, created with mode 0600 and a name of its own,
// that takes target's place on Commit. Until then target is untouched; the
// new file is removed if it is never committed.
class ReplacementFile
{
public:
    explicit ReplacementFile(const std::filesystem::path& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Writes every byte, then flushes them to the disk.
    bool WriteAll(const ByteBuffer& bytes);
    bool Sync();
    // Renames the new file over target.
    bool Commit();
    // Flushes the folder, so that the rename itself survives a crash.
    bool SyncFolder();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    bool committed_ = false;
};
