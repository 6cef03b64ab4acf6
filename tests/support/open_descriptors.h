#pragma once

#include <map>
#include <string>

// This process's open descriptors and what each leads to ("/path/file",
// "socket:[123]", ...), as /proc shows them.
std::map<int, std::string> OpenDescriptors();

// True when the descriptor is closed when the process starts a program.
bool IsCloseOnExec(int fd);
