#include "platform/instance_socket.h"

#include "platform/app_folders.h"

#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

// How many names of the temporary-files folder are tried; past them the
// program runs unguarded.
constexpr int kFolderNames = 32;

fs::path TempFolderName(int index)
{
    std::string name = "korvanta-" + std::to_string(::geteuid());
    if (index > 1) {
        name += '-';
        name += std::to_string(index);
    }
    return TempFilesFolder() / name;
}

} // namespace

fs::path InstanceSocketFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return runtime;
    if (TempFilesFolder().empty())
        return {};
    for (int index = 1; index <= kFolderNames; ++index) {
        const fs::path folder = TempFolderName(index);
        // Made here or found: either way only what lstat sees counts.
        ::mkdir(folder.c_str(), 0700);
        if (IsPrivateFolder(folder))
            return folder;
    }
    return {};
}

bool IsPrivateFolder(const fs::path& folder)
{
    struct stat status
    {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 07777) == 0700;
}

bool IsPeerOfThisUser(int socketDescriptor)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == ::geteuid();
}

} // namespace platform
