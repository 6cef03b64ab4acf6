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

// Waits up to 30 s for the server pid to accept connections on port of
// 127.0.0.1. False when it ended first (pid is then -1) or took too long.
bool AwaitServerAccepting(pid_t& pid, int port);
