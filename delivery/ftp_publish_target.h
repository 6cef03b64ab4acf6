#pragma once

#include "delivery/ftp_connection.h"
#include "delivery/publish_target.h"

// Publishes into the current remote folder of a logged-in FTP connection.
class FtpPublishTarget : public PublishTarget
{
public:
    explicit FtpPublishTarget(FtpConnection& connection) : connection_(connection) {}

    bool MakeFolder(const std::string& path) override;
    std::vector<TargetEntry> List(const std::string& folder) override;
    void WriteFile(const std::filesystem::path& source, const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    void RenameAll(const std::vector<std::pair<std::string, std::string>>& moves) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;

private:
    FtpConnection& connection_;
};
