#include "delivery/sftp_publish_target.h"

#include "delivery/destination_type.h"

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

} // namespace

std::string SftpPublishTarget::PathOf(const std::string& path) const
{
    return JoinPath(root_, path);
}

// A published file is put aside beside the staged one, as ".replaced-" and
// its name: into the staging folder, which goes after the switch.
SftpConnection::Replacement SftpPublishTarget::ReplacementOf(const std::string& from,
                                                             const std::string& to) const
{
    const std::string aside = JoinPath(FolderOf(from), ".replaced-" + NameOf(to));
    return {PathOf(from), PathOf(to), PathOf(aside)};
}

bool SftpPublishTarget::MakeFolder(const std::string& path)
{
    return Answered(connection_.MakeFolder(PathOf(path)), "mkdir " + path);
}

std::vector<TargetEntry> SftpPublishTarget::List(const std::string& folder)
{
    std::vector<std::string> names;
    if (!Answered(connection_.ListNames(PathOf(folder), names), "the listing of " + folder))
        throw Failure("The folder " + folder + " cannot be listed.");
    std::vector<TargetEntry> entries;
    for (std::string& name : names)
        entries.push_back({std::move(name), TargetEntry::Kind::Unknown});
    return entries;
}

void SftpPublishTarget::WriteFile(const std::filesystem::path& source, const std::string& path)
{
    if (!connection_.PutFile(source, PathOf(path)))
        throw Failure("The upload of " + path + " failed.");
}

// A refused replacement puts back what it had put aside, and tells the
// caller the destination refuses renames.
bool SftpPublishTarget::Rename(const std::string& from, const std::string& to)
{
    const SftpConnection::Replacement move = ReplacementOf(from, to);
    if (Answered(connection_.Replace({move}), "rename " + from))
        return true;
    Answered(connection_.Rename(move.aside, move.to), "rename " + move.aside);
    return false;
}

void SftpPublishTarget::RenameAll(const std::vector<std::pair<std::string, std::string>>& moves)
{
    std::vector<SftpConnection::Replacement> replacements;
    for (const auto& [from, to] : moves)
        replacements.push_back(ReplacementOf(from, to));
    if (!replacements.empty() &&
        !Answered(connection_.Replace(replacements), "rename " + moves.front().first))
        throw Failure("The staged images cannot all be renamed into place.");
}

bool SftpPublishTarget::RemoveFile(const std::string& path)
{
    return Answered(connection_.RemoveFile(PathOf(path)), "rm " + path);
}

bool SftpPublishTarget::RemoveFolder(const std::string& path)
{
    return Answered(connection_.RemoveFolder(PathOf(path)), "rmdir " + path);
}
