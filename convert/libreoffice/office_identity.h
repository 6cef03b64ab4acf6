#pragma once

#include <filesystem>
#include <string>

// Which offices a pipe or profile belongs to. Our offices are known by user
// and cache folder, so runs with another XDG_CACHE_HOME never meet them.
namespace office {

// The offices of one run (slot >= 0), which end with it, or the shared ones
// that "korvanta-cli office start" leaves running for every run.
struct OfficeSet
{
    static constexpr int kShared = -1;
    int slot = kShared;

    bool IsShared() const { return slot == kShared; }
};

// Begins the pipe name of every office of this user and cache folder.
std::string PipePrefix();

// The accept-pipe name of a lane's office in a set.
std::string PipeName(const OfficeSet& set, int lane);

// The private user profile of a lane's office in a set.
std::filesystem::path ProfileFolder(const OfficeSet& set, int lane);

} // namespace office
