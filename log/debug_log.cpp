#include "log/debug_log.h"

#include "log/debug_log_stream.h"
#include "platform/utf8.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

constexpr std::size_t kMessageBufferSize = 1024;

struct DebugLog
{
    std::mutex lock;
    int level = 0;
    DebugLogOStream<char> stream;
};

DebugLog& TheLog()
{
    static DebugLog log;
    return log;
}

std::string TimeField()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return {};
    char text[32];
    if (std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local) == 0)
        return {};
    return text;
}

std::string Format(const char* format, std::va_list arguments)
{
    char message[kMessageBufferSize];
    if (std::vsnprintf(message, sizeof message, format, arguments) < 0)
        return {};
    return message;
}

// Writes one line of quoted fields; the caller holds the lock.
void WriteLine(DebugLog& log, const std::string& function, const char* third,
               const std::string* fourth)
{
    std::ostream& out = log.stream;
    out << '"' << TimeField() << "\",\"" << function << "\",\"" << third << '"';
    if (fourth)
        out << ",\"" << *fourth << '"';
    out << '\n';
    out.flush();
}

void WriteTrace(const std::string& function, const char* what, const std::string* lineField)
{
    DebugLog& log = TheLog();
    std::lock_guard guard(log.lock);
    if (!(log.level & LOG_LEVEL_TRACE))
        return;
    WriteLine(log, function, what, lineField);
}

void WriteMessage(const std::string& function, const char* kind, const char* format,
                  std::va_list arguments, bool sanitize)
{
    DebugLog& log = TheLog();
    std::lock_guard guard(log.lock);
    if (!(log.level & LOG_LEVEL_ERROR))
        return;
    std::string message = Format(format, arguments);
    if (sanitize) {
        message = platform::Utf8WithReplacements(message);
        WriteLine(log, platform::Utf8WithReplacements(function), kind, &message);
    } else {
        WriteLine(log, function, kind, &message);
    }
}

} // namespace

void LogInit(int level, const std::string& path)
{
    DebugLog& log = TheLog();
    std::lock_guard guard(log.lock);
    log.level = level;
    const bool toFile = (level == 1 || level == 3) && !path.empty();
    log.stream.Open(toFile ? path : std::string());
}

void LogStart(const std::string& function)
{
    WriteTrace(function, "Start", nullptr);
}

void LogEnd(const std::string& function)
{
    WriteTrace(function, "End", nullptr);
}

void LogEnd(const std::string& function, int line)
{
    const std::string lineField = "Line = " + std::to_string(line);
    WriteTrace(function, "End", &lineField);
}

void LogError(const std::string& function, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    WriteMessage(function, "[Error]", format, arguments, false);
    va_end(arguments);
}

void LogInfo(const std::string& function, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    WriteMessage(function, "[Info]", format, arguments, true);
    va_end(arguments);
}
