#include "profiles/profile_file_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Reads from fd to its end; false on a read error.
bool ReadToEnd(int fd, ByteBuffer& bytes)
{
    unsigned char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count == 0)
            return true;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
}

// mkostemp replaces these with six letters or digits.
const std::string kTemporaryMarks = "XXXXXX";

std::string TemporaryPrefix(const fs::path& target)
{
    // Appended, not "." + std::string&&: GCC 12 reports a false -Wrestrict
    // for that (GCC bug 105329).
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += ".";
    return prefix;
}

bool IsLeftoverOf(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + kTemporaryMarks.size() || !name.starts_with(prefix))
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

ReadOutcome ReadWholeFile(const fs::path& path, ByteBuffer& bytes)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadOutcome::Absent : ReadOutcome::Unreadable;
    struct stat info
    {};
    ByteBuffer read;
    const bool complete = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadToEnd(fd, read);
    ::close(fd);
    if (!complete)
        return ReadOutcome::Unreadable;
    bytes = std::move(read);
    return ReadOutcome::Read;
}

fs::path FinalTarget(const fs::path& path)
{
    // The kernel's own bound on links in one lookup.
    constexpr int kMaxLinks = 40;
    fs::path current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return error && error != std::errc::no_such_file_or_directory ? fs::path() : current;
        const fs::path link = fs::read_symlink(current, error);
        if (error)
            return {};
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return {};
}

bool MayReplace(const fs::path& target)
{
    struct stat info
    {};
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    // Root may write anything, so the owner's write bit is asked as well:
    // a file its owner made read-only stays as it is.
    return S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) != 0 &&
           ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

void RemoveLeftoverTemporaries(const fs::path& target)
{
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entry(target.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        if (IsLeftoverOf(entry->path().filename().string(), prefix) &&
            entry->is_regular_file(error))
            fs::remove(entry->path(), error);
    }
}

ReplacementFile::ReplacementFile(const fs::path& target) : target_(target)
{
    // mkostemp creates the file with mode 0600 before anything is written.
    std::string pattern =
        (target.parent_path() / (TemporaryPrefix(target) + kTemporaryMarks)).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0)
        temp_ = pattern;
}

ReplacementFile::~ReplacementFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.empty() && !committed_)
        ::unlink(temp_.c_str());
}

bool ReplacementFile::WriteAll(const ByteBuffer& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

bool ReplacementFile::Sync()
{
    return ::fsync(fd_) == 0;
}

bool ReplacementFile::Commit()
{
    if (::close(fd_) != 0) {
        fd_ = -1;
        return false;
    }
    fd_ = -1;
    committed_ = ::rename(temp_.c_str(), target_.c_str()) == 0;
    return committed_;
}

bool ReplacementFile::SyncFolder()
{
    const int folder = ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool synced = ::fsync(folder) == 0;
    ::close(folder);
    return synced;
}
