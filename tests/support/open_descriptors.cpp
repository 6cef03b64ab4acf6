#include "tests/support/open_descriptors.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

ListeningUnixSocket::ListeningUnixSocket(const std::string& path)
    : socket_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket_ < 0 || path.size() >= sizeof address.sun_path)
        throw std::runtime_error("no socket for " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size());
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_, 1) != 0) {
        ::close(socket_);
        throw std::runtime_error("cannot bind a socket at " + path);
    }
}

ListeningUnixSocket::~ListeningUnixSocket()
{
    ::close(socket_);
}
