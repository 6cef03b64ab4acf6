#include "delivery/smb_publish_target.h"

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

// The share answered and said no: the connection is still good.
bool IsRefusal(int error)
{
    return error == EACCES || error == EPERM || error == EISDIR || error == ENOTEMPTY ||
           error == EEXIST;
}

std::string ShareRoot(const std::string& destination)
{
    const auto path = ParseSharePath(destination);
    if (!path)
        throw Failure("actConnectSMB() failed.");
    return path->url;
}

TargetEntry::Kind KindOf(unsigned type)
{
    switch (type) {
    case SMBC_FILE:
        return TargetEntry::Kind::File;
    case SMBC_DIR:
        return TargetEntry::Kind::Folder;
    default:
        return TargetEntry::Kind::Other;
    }
}

} // namespace

SmbPublishTarget::SmbPublishTarget(const std::string& destination, ShareCredentials credentials)
    : context_(std::move(credentials)), root_(ShareRoot(destination))
{
    if (!ConnectShare(context_, destination))
        throw Failure("actConnectSMB() failed.");
}

void SmbPublishTarget::MakeDestination()
{
    for (const std::string& folder : FoldersBelowShare(root_)) {
        const int error = context_.MakeFolder(folder);
        if (error != 0 && !context_.IsFolder(folder))
            throw Failure("The folder " + folder + " cannot be created: " + Reason(error));
    }
}

std::string SmbPublishTarget::Url(const std::string& relative) const
{
    std::string url = root_;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        url = AppendToShareUrl(url, relative.substr(start, end - start));
        start = end + 1;
    }
    return url;
}

bool SmbPublishTarget::MakeFolder(const std::string& relative)
{
    const std::string url = Url(relative);
    const int error = context_.MakeFolder(url);
    if (error == 0)
        return true;
    if (context_.IsFolder(url))
        return false;
    throw Failure("The folder " + url + " cannot be created: " + Reason(error));
}

std::vector<TargetEntry> SmbPublishTarget::List(const std::string& relative)
{
    std::vector<std::pair<std::string, unsigned>> found;
    if (const int error = context_.List(Url(relative), found); error != 0)
        throw Failure("The folder " + Url(relative) + " cannot be listed: " + Reason(error));
    std::vector<TargetEntry> entries;
    for (const auto& [name, type] : found)
        entries.push_back({name, KindOf(type)});
    return entries;
}

void SmbPublishTarget::WriteFile(const fs::path& source, const std::string& relative)
{
    const std::string url = Url(relative);
    SmbFile file(context_, url);
    if (file.OpenError() != 0)
        throw Failure("The file " + url + " cannot be created: " + Reason(file.OpenError()));
    try {
        WriteContents(source, file, url);
    } catch (const Failure& failure) {
        file.Close();
        if (context_.Remove(url) != 0)
            throw Failure(std::string(failure.what()) + " A partial file may be left.");
        throw;
    }
}

void SmbPublishTarget::WriteContents(const fs::path& source, SmbFile& file, const std::string& url)
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

bool SmbPublishTarget::Rename(const std::string& from, const std::string& to)
{
    const int error = context_.Rename(Url(from), Url(to));
    if (error == 0)
        return true;
    if (error == EACCES || error == EPERM)
        return false;
    throw Failure("The file " + Url(from) + " cannot be renamed: " + Reason(error));
}

bool SmbPublishTarget::RemoveFile(const std::string& relative)
{
    const int error = context_.Remove(Url(relative));
    if (error != 0 && !IsRefusal(error))
        throw Failure("The file " + Url(relative) + " cannot be removed: " + Reason(error));
    return error == 0;
}

bool SmbPublishTarget::RemoveFolder(const std::string& relative)
{
    const int error = context_.RemoveFolder(Url(relative));
    if (error != 0 && !IsRefusal(error))
        throw Failure("The folder " + Url(relative) + " cannot be removed: " + Reason(error));
    return error == 0;
}
