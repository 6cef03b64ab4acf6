#include "delivery/smb_copy_target.h"

#include "delivery/smb_path.h"
#include "log/failure.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::size_t kChunkSize = 64 * 1024;

std::string Reason(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

} // namespace

void SmbCopyTarget::MakeFolder(const std::string& url)
{
    for (const std::string& folder : FoldersBelowShare(url)) {
        const int error = context_.MakeFolder(folder);
        if (error != 0 && !context_.IsFolder(folder))
            throw Failure("The folder " + folder + " cannot be created: " + Reason(error));
    }
}

void SmbCopyTarget::WriteFile(const fs::path& source, const std::string& url)
{
    SmbFile file(context_, url);
    if (file.OpenError() != 0)
        throw Failure("The file " + url + " cannot be created: " + Reason(file.OpenError()));
    try {
        WriteContents(source, file, url);
    } catch (const Failure& failure) {
        file.Close();
        // Don't leave a truncated image behind under the right name.
        if (context_.Remove(url) != 0)
            throw Failure(std::string(failure.what()) + " A partial file may be left.");
        throw;
    }
}

void SmbCopyTarget::WriteContents(const fs::path& source, SmbFile& file, const std::string& url)
{
    const UniqueFd in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!in.IsOpen())
        throw Failure("The file " + source.string() + " cannot be read.");
    std::vector<char> buffer(kChunkSize);
    for (;;) {
        const ssize_t count = ::read(in.Get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw Failure("The file " + source.string() + " cannot be read.");
        if (count == 0)
            break;
        if (const int error = file.Write(buffer.data(), static_cast<std::size_t>(count));
            error != 0)
            throw Failure("The file " + url + " cannot be written: " + Reason(error));
    }
    if (const int error = file.Close(); error != 0)
        throw Failure("The file " + url + " cannot be written: " + Reason(error));
}

std::string SmbCopyTarget::Join(const std::string& folder, const std::string& name) const
{
    const auto path = ParseSharePath(folder);
    if (!path)
        throw Failure("The share path " + folder + " cannot be read.");
    return AppendToShareUrl(path->url, name);
}
