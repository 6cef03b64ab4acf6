#include "convert/libreoffice/office_identity.h"

#include "platform/app_folders.h"

#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace fs = std::filesystem;

namespace office {
namespace {

// Eight hex digits of the cache folder: short enough for a socket path.
std::string CacheFolderTag()
{
    std::error_code error;
    fs::path folder = fs::weakly_canonical(platform::AppCacheFolder(), error);
    if (error)
        folder = platform::AppCacheFolder();
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (unsigned char c : folder.string()) {
        hash ^= c;
        hash *= 16777619u;
    }
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x", hash);
    return tag;
}

std::string SetName(const OfficeSet& set, int lane)
{
    // Appended, not "r" + std::string&&: GCC 12 reports a false -Wrestrict
    // for that (GCC bug 105329).
    std::string name = set.IsShared() ? "s" : "r";
    if (!set.IsShared()) {
        name += std::to_string(set.slot);
        name += '-';
    }
    name += std::to_string(lane);
    return name;
}

} // namespace

std::string PipePrefix()
{
    return "korvanta-" + std::to_string(::getuid()) + "-" + CacheFolderTag() + "-";
}

std::string PipeName(const OfficeSet& set, int lane)
{
    return PipePrefix() + SetName(set, lane);
}

fs::path ProfileFolder(const OfficeSet& set, int lane)
{
    return platform::AppCacheFolder() / ("office-" + SetName(set, lane));
}

} // namespace office
