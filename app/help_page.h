#pragma once

#include <stop_token>

// Opens the help page of the active language (string 17, a path relative to
// the program's data folder) in the user's browser. Shows no message of its
// own: true when the page was handed to the desktop's opener. A stop request
// ends the wait for the opener (see ShellOpen).
bool OpenHelpPage(const std::stop_token& stop = {});
