#pragma once

#include "delivery/publish_target.h"
#include "delivery/sftp_connection.h"

// Publishes into a folder of a logged-in SFTP session, given as an absolute
// path ("/~" for the login folder).
class SftpPublishTarget : public PublishTarget
{
public:
    SftpPublishTarget(SftpConnection& connection, std::string root)
        : connection_(connection), root_(std::move(root))
    {
    }

    bool MakeFolder(const std::string& path) override;
    std::vector<TargetEntry> List(const std::string& folder) override;
    void WriteFile(const std::filesystem::path& source, const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    void RenameAll(const std::vector<std::pair<std::string, std::string>>& moves) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;

private:
    std::string PathOf(const std::string& path) const;
    SftpConnection::Replacement ReplacementOf(const std::string& from, const std::string& to) const;

    SftpConnection& connection_;
    std::string root_;
};
