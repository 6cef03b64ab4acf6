#include "tests/support/loopback_ports.h"

#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A socket bound to a free port of 127.0.0.1; listening when asked.
int BoundSocket(int& port, bool listening)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 8) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("no free port");
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepting(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = Loopback(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

bool PortIsFree(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    const sockaddr_in address = Loopback(port);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

ClosedPort::ClosedPort()
{
    socket_ = BoundSocket(port_, false);
}

ClosedPort::~ClosedPort()
{
    ::close(socket_);
}

SilentPort::SilentPort()
{
    socket_ = BoundSocket(port_, true);
}

SilentPort::~SilentPort()
{
    ::close(socket_);
}
