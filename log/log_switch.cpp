#include "log/log_switch.h"

#include "log/debug_log.h"
#include "platform/app_folders.h"

#include <strings.h>

std::string ArgumentText(int argc, const char* const* argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

int LogLevelFromArgumentText(const std::string& argumentText)
{
    return ::strcasecmp(argumentText.c_str(), "-LOG") == 0 ? 3 : 0;
}

std::filesystem::path LogFilePath()
{
    const std::filesystem::path folder = platform::AppDataFolder();
    return folder.empty() ? folder : folder / "Korvanta.log";
}

void StartDebugLog(int level)
{
    if (level != 0)
        platform::EnsureAppDataFolder();
    LogInit(level, LogFilePath().string());
}
