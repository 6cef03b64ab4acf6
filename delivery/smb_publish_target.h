#pragma once

#include "delivery/publish_target.h"
#include "delivery/smb_context.h"

#include <string>

// Publishes into a folder of a share, over one connection.
class SmbPublishTarget : public PublishTarget
{
public:
    // Connects to the share of destination ("\\server\share\dir" or an
    // smb:// URL). Throws Failure("actConnectSMB() failed.") when the share
    // cannot be used.
    SmbPublishTarget(const std::string& destination, ShareCredentials credentials);

    // The destination's folders below the share, when missing.
    void MakeDestination() override;

    bool MakeFolder(const std::string& path) override;
    std::vector<TargetEntry> List(const std::string& folder) override;
    void WriteFile(const std::filesystem::path& source, const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;

private:
    std::string Url(const std::string& relative) const;
    void WriteContents(const std::filesystem::path& source, SmbFile& file, const std::string& url);

    SmbContext context_;
    std::string root_; // the destination's smb:// URL
};
