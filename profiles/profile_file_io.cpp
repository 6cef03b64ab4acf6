#include "profiles/profile_file_io.h"

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

} // namespace

ReadOutcome ReadWholeFile(const fs::path& path, ByteBuffer& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ReadOutcome::Absent;
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadOutcome::Absent;
    }
    ByteBuffer read;
    const bool complete = ReadToEnd(fd, read);
    ::close(fd);
    if (!complete)
        return ReadOutcome::Failed;
    bytes = std::move(read);
    return ReadOutcome::Read;
}

ReplacementFile::ReplacementFile(const fs::path& target) : target_(target)
{
    // mkostemp creates the file with mode 0600 before anything is written.
    // Named, not a temporary: GCC 12 reports a false -Wrestrict for
    // "text" + std::string&& (GCC bug 105329).
    const std::string name = target.filename().string();
    std::string pattern = (target.parent_path() / ("." + name + ".XXXXXX")).string();
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
