#pragma once

#include "log/debug_log.h"

#include <string>

// Writes the "Start" line now and the "End" line (without a line number) on
// every way out of the enclosing scope.
class LogScope
{
public:
    explicit LogScope(std::string function) : function_(std::move(function))
    {
        LogStart(function_);
    }
    ~LogScope() { LogEnd(function_); }
    LogScope(const LogScope&) = delete;
    LogScope& operator=(const LogScope&) = delete;

    const std::string& Name() const { return function_; }

private:
    std::string function_;
};
