#pragma once

#include <netinet/in.h>

// Ports of 127.0.0.1 for test servers and for servers that misbehave.

sockaddr_in Loopback(int port);

// True when something accepts connections on port of 127.0.0.1.
bool Accepting(int port);

// True when this process may listen on port of 127.0.0.1 now.
bool PortIsFree(int port);

// A TCP port on 127.0.0.1 that nothing listens on while the object lives:
// bound, so that no one else takes it, but never listening.
class ClosedPort
{
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    int Port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

// A TCP port on 127.0.0.1 whose connections are taken by the system but
// never answered: no greeting, ever.
class SilentPort
{
public:
    SilentPort();
    ~SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    int Port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};
