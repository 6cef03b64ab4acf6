#pragma once

#include <map>
#include <string>

// This process's open descriptors and what each leads to ("/path/file",
// "socket:[123]", ...), as /proc shows them.
std::map<int, std::string> OpenDescriptors();

// True when the descriptor is closed when the process starts a program.
bool IsCloseOnExec(int fd);

// A Unix socket bound at a path and listening while the object lives: a
// file of the kind no program can open.
class ListeningUnixSocket
{
public:
    // Throws std::runtime_error when the socket cannot be bound there.
    explicit ListeningUnixSocket(const std::string& path);
    ~ListeningUnixSocket();
    ListeningUnixSocket(const ListeningUnixSocket&) = delete;
    ListeningUnixSocket& operator=(const ListeningUnixSocket&) = delete;

private:
    int socket_ = -1;
};
