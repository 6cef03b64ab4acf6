#include "delivery/ftp_publish_target.h"

#include "log/failure.h"

namespace {

// True when done, false when refused; throws when the connection is gone.
bool Answered(FtpOutcome outcome, const std::string& what)
{
    if (outcome == FtpOutcome::Broken)
        throw Failure("The connection broke off: " + what + " failed.");
    return outcome == FtpOutcome::Done;
}

} // namespace

bool FtpPublishTarget::MakeFolder(const std::string& path)
{
    return Answered(connection_.MakeFolder(path), "MKD " + path);
}

std::vector<TargetEntry> FtpPublishTarget::List(const std::string& folder)
{
    std::vector<std::string> names;
    if (!Answered(connection_.ListNames(folder, names), "NLST " + folder))
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

bool FtpPublishTarget::RemoveFile(const std::string& path)
{
    return Answered(connection_.RemoveFile(path), "DELE " + path);
}

bool FtpPublishTarget::RemoveFolder(const std::string& path)
{
    return Answered(connection_.RemoveFolder(path), "RMD " + path);
}
