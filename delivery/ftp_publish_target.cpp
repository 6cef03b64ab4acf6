#include "delivery/ftp_publish_target.h"

#include "log/failure.h"

#include <algorithm>

bool FtpPublishTarget::MakeFolder(const std::string& path)
{
    return Answered(connection_.MakeFolder(path), "MKD " + path);
}

// Entered by name and left with "..": the destination folder is the
// current one between two operations.
std::vector<TargetEntry> FtpPublishTarget::List(const std::string& folder)
{
    if (!connection_.ChangeFolder(folder))
        throw Failure("The folder " + folder + " cannot be listed.");
    std::vector<std::string> names;
    const FtpOutcome listed = connection_.ListNames(names);
    const auto levels = std::count(folder.begin(), folder.end(), '/') + 1;
    std::string back = "..";
    for (auto level = 1; level < levels; ++level)
        back += "/..";
    if (!connection_.ChangeFolder(back))
        throw Failure("The connection broke off: CWD " + back + " failed.");
    if (!Answered(listed, "NLST in " + folder))
        throw Failure("The folder " + folder + " cannot be listed.");
    std::vector<TargetEntry> entries;
    for (std::string& name : names)
        entries.push_back({std::move(name), TargetEntry::Kind::Unknown});
    return entries;
}

void FtpPublishTarget::WriteFile(const std::filesystem::path& source, const std::string& path)
{
    if (!connection_.PutFile(source, path))
        throw Failure("FtpPutFileW() failed.");
}

bool FtpPublishTarget::Rename(const std::string& from, const std::string& to)
{
    return Answered(connection_.Rename(from, to), "RNFR " + from);
}

void FtpPublishTarget::RenameAll(const std::vector<std::pair<std::string, std::string>>& moves)
{
    if (!moves.empty() && !Answered(connection_.RenameAll(moves), "RNFR " + moves.front().first))
        throw Failure("The staged images cannot all be renamed into place.");
}

bool FtpPublishTarget::RemoveFile(const std::string& path)
{
    return Answered(connection_.RemoveFile(path), "DELE " + path);
}

bool FtpPublishTarget::RemoveFolder(const std::string& path)
{
    return Answered(connection_.RemoveFolder(path), "RMD " + path);
}
