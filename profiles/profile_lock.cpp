#include "profiles/profile_lock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

// Long enough for many writers queueing for a save of a few kilobytes,
// short enough that a stuck holder gives a failed change, not a hang.
constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kRetryInterval = std::chrono::milliseconds(5);

int OpenLockFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EACCES)
        return fd;
    // A lock file made by another user may still be read, and read is enough.
    return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

ProfileFileLock::ProfileFileLock(const std::filesystem::path& profileFile)
    : fd_(OpenLockFile(profileFile.string() + ".lock"))
{
    if (fd_ < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(kRetryInterval);
    }
}

ProfileFileLock::~ProfileFileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}
