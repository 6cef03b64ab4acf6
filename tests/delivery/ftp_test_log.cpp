#include "tests/delivery/ftp_test_log.h"

#include "log/debug_log.h"
#include "tests/support/temp_folder.h"

#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path& LogFile()
{
    static TempFolder folder;
    static const fs::path file = folder / "Korvanta.log";
    static const bool opened = (LogInit(3, file.string()), true);
    (void)opened;
    return file;
}

} // namespace

LogCapture::LogCapture() : start_(ReadFile(LogFile()).size()) {}

std::vector<std::string> LogCapture::Lines() const
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(LogFile()).substr(start_));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Lines read "time","function","kind","message".
std::vector<std::string> LogCapture::Messages(const std::string& function,
                                              const std::string& kind) const
{
    const std::string marker = "\",\"" + function + "\",\"" + kind + "\",\"";
    std::vector<std::string> messages;
    for (const auto& line : Lines()) {
        const std::size_t at = line.find(marker);
        if (at != std::string::npos && line.back() == '"')
            messages.push_back(
                line.substr(at + marker.size(), line.size() - at - marker.size() - 1));
    }
    return messages;
}

std::vector<std::string> LogCapture::Errors(const std::string& function) const
{
    return Messages(function, "[Error]");
}

std::vector<std::string> LogCapture::Infos(const std::string& function) const
{
    return Messages(function, "[Info]");
}

int LogCapture::Ends(const std::string& function) const
{
    const std::string marker = "\",\"" + function + "\",\"End\"";
    int ends = 0;
    for (const auto& line : Lines())
        ends += line.find(marker) != std::string::npos;
    return ends;
}
