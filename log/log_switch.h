#pragma once

#include <filesystem>
#include <string>

// The whole argument text after the program name, arguments joined by one
// blank, the way a desktop launcher hands it over.
std::string ArgumentText(int argc, const char* const* argv);

// 3 when the argument text is exactly "-LOG" in any letter case, else 0.
int LogLevelFromArgumentText(const std::string& argumentText);

// Korvanta.log in the per-user application folder.
std::filesystem::path LogFilePath();

// Calls LogInit with the level and the log file path, creating the
// application folder only when the log is on.
void StartDebugLog(int level);
