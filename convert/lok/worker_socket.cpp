#include "convert/lok/worker_socket.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>

namespace worker {
namespace {

// The address of an abstract name: a NUL, then the name, not NUL-ended.
bool AbstractAddress(const std::string& name, sockaddr_un& address, socklen_t& length)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (name.empty() || name.size() + 1 > sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return true;
}

bool PeerIsOwnUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

} // namespace

UniqueFd Listen(const std::string& name)
{
    sockaddr_un address;
    socklen_t length = 0;
    if (!AbstractAddress(name, address, length))
        return UniqueFd();
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener.IsOpen() ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(listener.Get(), 16) != 0)
        return UniqueFd();
    return listener;
}

UniqueFd AcceptOwnUser(int listener)
{
    for (;;) {
        UniqueFd connection(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.IsOpen()) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return UniqueFd();
        }
        if (PeerIsOwnUser(connection.Get()))
            return connection;
    }
}

UniqueFd Connect(const std::string& name)
{
    sockaddr_un address;
    socklen_t length = 0;
    if (!AbstractAddress(name, address, length))
        return UniqueFd();
    UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connection.IsOpen() ||
        ::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        !PeerIsOwnUser(connection.Get()))
        return UniqueFd();
    return connection;
}

} // namespace worker
