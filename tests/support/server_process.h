#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// Starts a test server: program with its arguments, standard input from
// /dev/null, standard output and error into the file output. With ownGroup
// the process leads a process group of its own. Throws std::runtime_error
// when it cannot fork.
pid_t StartServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& output,
                         bool ownGroup);

// A file or folder of ours bound over a path of the system, where only a
// server in namespaces of its own sees it.
struct BindMount
{
    std::filesystem::path source;
    std::filesystem::path target;
};

// As StartServerProcess, but the server runs as the first process of a PID
// namespace of its own, in a private mount namespace with binds in place.
// Everything it starts ends with it: waitpid on the pid returns once all of
// them are gone. Needs root.
pid_t StartServerInNamespaces(const std::vector<std::string>& argv,
                              const std::filesystem::path& output,
                              const std::vector<BindMount>& binds);

// Waits up to 30 s for the server pid to accept connections on port of
// 127.0.0.1. False when it ended first (pid is then -1) or took too long.
bool AwaitServerAccepting(pid_t& pid, int port);
