#pragma once

#include "delivery/publish_target.h"
#include "platform/unique_fd.h"

#include <chrono>
#include <string>

// Publishes into a folder of this machine. Files are replaced with rename(2),
// and a folder being published is held with flock(2), so that two runs
// publishing there take turns.
class LocalPublishTarget : public PublishTarget
{
public:
    explicit LocalPublishTarget(std::string folder,
                                std::chrono::milliseconds holdPatience = std::chrono::minutes(2));

    // The folder with its parents, when missing.
    void MakeDestination() override;
    bool MakeFolder(const std::string& path) override;
    void HoldFolder(const std::string& path) override;
    std::vector<TargetEntry> List(const std::string& folder) override;
    void WriteFile(const std::filesystem::path& source, const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;

private:
    std::string Path(const std::string& relative) const;

    std::string root_;
    std::chrono::milliseconds holdPatience_;
    UniqueFd held_;
};
