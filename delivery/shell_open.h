#pragma once

#include <stop_token>
#include <string>

// Hands a folder or URL to the desktop's opener (xdg-open), started without a
// shell. True when the opener started and reported success, or was still
// busy showing it after a few seconds, or when a stop was requested before
// it ended: the opener then goes on alone.
bool ShellOpen(const std::string& target, const std::stop_token& stop = {});
