#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

FileLock::~FileLock()
{
    Unlock();
}

FileLock::FileLock(FileLock&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        Unlock();
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

void FileLock::Unlock()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

bool FileLock::Lock(const std::filesystem::path& file, bool wait)
{
    return LockOpened(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600), wait);
}

bool FileLock::LockWithin(const std::filesystem::path& file, std::chrono::milliseconds patience)
{
    Unlock();
    int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0 && errno == EACCES)
        descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            descriptor_ = descriptor;
            return true;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            ::close(descriptor);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool FileLock::LockFolder(const std::filesystem::path& folder, bool wait)
{
    return LockOpened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW),
                      wait);
}

bool FileLock::LockOpened(int descriptor, bool wait)
{
    Unlock();
    if (descriptor < 0)
        return false;
    int locked;
    do {
        locked = ::flock(descriptor, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}
