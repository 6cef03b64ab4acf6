#pragma once

#include <string>

// Hands a folder or URL to the desktop's opener (xdg-open), started without a
// shell. True when the opener started and reported success, or was still
// busy showing it after a few seconds.
bool ShellOpen(const std::string& target);
