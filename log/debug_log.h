#pragma once

#include <string>

// The debug log: one process-wide file of quoted, comma-separated lines,
// written only when switched on. No call here ever fails to its caller.

enum LogLevelBits
{
    LOG_LEVEL_ERROR = 1, // "[Error]" and "[Info]" lines
    LOG_LEVEL_TRACE = 2, // "Start" and "End" lines
};

// Stores the level and, on the first call, opens the log: on the file at
// path for levels 1 and 3, with no file otherwise.
void LogInit(int level, const std::string& path);

void LogStart(const std::string& function);
void LogEnd(const std::string& function);
void LogEnd(const std::string& function, int line);
void LogError(const std::string& function, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Text that is not valid UTF-8 is written with '?' in place of bad bytes.
void LogInfo(const std::string& function, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
