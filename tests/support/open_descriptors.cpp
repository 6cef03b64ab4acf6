#include "tests/support/open_descriptors.h"

#include <fcntl.h>
#include <filesystem>

namespace fs = std::filesystem;

std::map<int, std::string> OpenDescriptors()
{
    std::map<int, std::string> descriptors;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (!error)
            descriptors[std::stoi(entry.path().filename().string())] = target.string();
    }
    return descriptors;
}

bool IsCloseOnExec(int fd)
{
    const int flags = ::fcntl(fd, F_GETFD);
    return flags >= 0 && (flags & FD_CLOEXEC) != 0;
}
