#include "delivery/local_publish_target.h"

#include "delivery/destination_type.h"
#include "log/failure.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string Reason(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

// 0, or the errno value of the read or write that failed.
int CopyWithBuffer(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(from, buffer, sizeof buffer);
        if (count == 0)
            return 0;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        for (ssize_t written = 0; written < count;) {
            const ssize_t part = ::write(to, buffer + written, count - written);
            if (part < 0 && errno == EINTR)
                continue;
            if (part < 0)
                return errno;
            written += part;
        }
    }
}

// The same inside the kernel where it can. Both files' offsets move on, so a
// file system without it is copied on from where it stopped.
int CopyBytes(int from, int to)
{
    for (;;) {
        const ssize_t count = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (count == 0)
            return 0;
        if (count > 0 || errno == EINTR)
            continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            return CopyWithBuffer(from, to);
        return errno;
    }
}

TargetEntry::Kind KindOf(fs::file_type type)
{
    switch (type) {
    case fs::file_type::regular:
        return TargetEntry::Kind::File;
    case fs::file_type::directory:
        return TargetEntry::Kind::Folder;
    default:
        return TargetEntry::Kind::Other;
    }
}

} // namespace

LocalPublishTarget::LocalPublishTarget(std::string folder, std::chrono::milliseconds holdPatience)
    : root_(std::move(folder)), holdPatience_(holdPatience)
{}

void LocalPublishTarget::MakeDestination()
{
    std::error_code error;
    fs::create_directories(root_, error);
    if (!fs::is_directory(root_, error))
        throw Failure("The folder " + root_ + " cannot be created: " + error.message());
}

std::string LocalPublishTarget::Path(const std::string& relative) const
{
    return relative.empty() ? root_ : JoinPath(root_, relative);
}

bool LocalPublishTarget::MakeFolder(const std::string& relative)
{
    const std::string path = Path(relative);
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    const int error = errno;
    struct stat status = {};
    // A link in place of the folder would take the images somewhere else.
    if (error == EEXIST && ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return false;
    if (error == EEXIST && S_ISLNK(status.st_mode))
        throw Failure("The folder " + path + " is a link.");
    throw Failure("The folder " + path + " cannot be created: " + Reason(error));
}

void LocalPublishTarget::HoldFolder(const std::string& relative)
{
    const std::string path = Path(relative);
    held_.Reset(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!held_.IsOpen())
        throw Failure("The folder " + path + " cannot be opened: " + Reason(errno));
    const auto deadline = std::chrono::steady_clock::now() + holdPatience_;
    while (::flock(held_.Get(), LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks publishes unguarded.
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            throw Failure("The folder " + path + " is being published by another run.");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<TargetEntry> LocalPublishTarget::List(const std::string& relative)
{
    std::vector<TargetEntry> entries;
    std::error_code error;
    fs::directory_iterator entry(Path(relative), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::file_type type = entry->symlink_status(error).type();
        if (!error)
            entries.push_back({entry->path().filename().string(), KindOf(type)});
    }
    if (error)
        throw Failure("The folder " + Path(relative) + " cannot be listed: " + error.message());
    return entries;
}

void LocalPublishTarget::WriteFile(const fs::path& source, const std::string& relative)
{
    const std::string path = Path(relative);
    const UniqueFd from(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!from.IsOpen())
        throw Failure("The file " + source.string() + " cannot be read: " + Reason(errno));
    // Never written through a link: a replaced file is the one in the folder.
    UniqueFd to(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!to.IsOpen())
        throw Failure("The file " + path + " cannot be written: " + Reason(errno));
    int error = CopyBytes(from.Get(), to.Get());
    if (const int closeError = to.Close(); error == 0)
        error = closeError;
    if (error != 0)
        throw Failure("The file " + path + " cannot be written: " + Reason(error));
}

bool LocalPublishTarget::Rename(const std::string& from, const std::string& to)
{
    const std::string source = Path(from);
    const std::string target = Path(to);
    // A file in the way is swapped out, then removed: replacing it instead
    // makes ext4 write the new file's data back first, ten times slower.
    struct stat status = {};
    const bool replacesFile = ::lstat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    if (replacesFile &&
        ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        if (::unlink(source.c_str()) != 0)
            throw Failure("The old file " + source + " cannot be removed: " + Reason(errno));
        return true;
    }
    // Without the swap (a file system that lacks it, or nothing in the way).
    if (::rename(source.c_str(), target.c_str()) != 0)
        throw Failure("The file " + source + " cannot be renamed to " + target + ": " +
                      Reason(errno));
    return true;
}

bool LocalPublishTarget::RemoveFile(const std::string& relative)
{
    if (::unlink(Path(relative).c_str()) != 0)
        throw Failure("The file " + Path(relative) + " cannot be removed: " + Reason(errno));
    return true;
}

bool LocalPublishTarget::RemoveFolder(const std::string& relative)
{
    if (::rmdir(Path(relative).c_str()) == 0)
        return true;
    if (errno == ENOTEMPTY || errno == EEXIST)
        return false;
    throw Failure("The folder " + Path(relative) + " cannot be removed: " + Reason(errno));
}
