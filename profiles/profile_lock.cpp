#include "profiles/profile_lock.h"

#include <chrono>

namespace {

// Long enough for many writers queueing for a save of a few kilobytes,
// short enough that a stuck holder gives a failed change, not a hang.
constexpr auto kPatience = std::chrono::seconds(10);

} // namespace

ProfileFileLock::ProfileFileLock(const std::filesystem::path& profileFile)
{
    lock_.LockWithin(profileFile.string() + ".lock", kPatience);
}
