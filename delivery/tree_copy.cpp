#include "delivery/tree_copy.h"

#include "delivery/destination_type.h"
#include "log/failure.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Reason(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

// 0, or the errno value of the read or write that failed.
int CopyBytes(int from, int to)
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

} // namespace

fs::file_type EntryType(const fs::directory_entry& entry)
{
    std::error_code error;
    return entry.symlink_status(error).type();
}

void CopyTree(const fs::path& source, CopyTarget& target, const std::string& targetFolder)
{
    std::error_code error;
    // Links are not followed: nothing outside the image folder is read.
    if (fs::symlink_status(source, error).type() != fs::file_type::directory)
        throw Failure("The image folder cannot be read.");
    target.MakeFolder(targetFolder);
    fs::directory_iterator entries(source, error);
    if (error)
        throw Failure("The image folder cannot be read.");
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        const std::string targetPath = target.Join(targetFolder, name);
        const fs::file_type type = EntryType(entry);
        if (type == fs::file_type::directory)
            CopyTree(entry.path(), target, targetPath);
        else if (type == fs::file_type::regular)
            target.WriteFile(entry.path(), targetPath);
        else
            throw Failure("The entry " + entry.path().string() + " is no file or folder.");
    }
}

void LocalCopyTarget::MakeFolder(const std::string& path)
{
    std::error_code error;
    // A link in place of the folder would take the images somewhere else.
    if (fs::is_symlink(path, error))
        throw Failure("The folder " + path + " is a link.");
    fs::create_directories(path, error);
    if (!fs::is_directory(path, error))
        throw Failure("The folder " + path + " cannot be created: " + error.message());
}

void LocalCopyTarget::WriteFile(const fs::path& source, const std::string& path)
{
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

std::string LocalCopyTarget::Join(const std::string& folder, const std::string& name) const
{
    return JoinPath(folder, name);
}
