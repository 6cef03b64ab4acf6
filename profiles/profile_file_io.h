#pragma once

#include "profiles/zel_crypt_wrapper.h"

#include <filesystem>

// Reading the profile file whole, and replacing it so that a failed or
// interrupted save never leaves it half written.

enum class ReadOutcome
{
    Read,   // bytes holds the whole file
    Absent, // no regular file there, or it cannot be opened
    Failed, // opened, but reading it failed
};

ReadOutcome ReadWholeFile(const std::filesystem::path& path, ByteBuffer& bytes);

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
