#include "delivery/known_servers.h"

#include "platform/app_folders.h"
#include "platform/file_lock.h"
#include "profiles/profile_file_io.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kHeader = "# Servers whose identity you trusted: host, port, fingerprint.\n";

fs::path KnownServersFile()
{
    return platform::AppDataFolder() / "known_servers";
}

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct Entry
{
    std::string host;
    int port = 0;
    std::string fingerprint;
};

// A line of ours; other lines (comments, damaged ones) are kept as they are.
std::optional<Entry> ParseLine(const std::string& line)
{
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    std::istringstream fields(line);
    Entry entry;
    std::string rest;
    if (!(fields >> entry.host >> entry.port >> entry.fingerprint) || fields >> rest)
        return std::nullopt;
    entry.host = Lowered(entry.host);
    return entry;
}

std::vector<std::string> ReadLines()
{
    ByteBuffer bytes;
    std::vector<std::string> lines;
    if (ReadWholeFile(KnownServersFile(), bytes) != ReadOutcome::Read)
        return lines;
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

bool IsEntryFor(const std::string& line, const std::string& host, int port)
{
    const auto entry = ParseLine(line);
    return entry && entry->host == host && entry->port == port;
}

// A name or address with no blank or control character in it.
bool IsPlainField(const std::string& text)
{
    return !text.empty() && std::none_of(text.begin(), text.end(), [](unsigned char c) {
        return c <= 0x20 || c == 0x7F;
    });
}

} // namespace

std::optional<std::string> TrustedIdentity(const std::string& host, int port)
{
    for (const std::string& line : ReadLines()) {
        if (const auto entry = ParseLine(line); entry && entry->host == Lowered(host) &&
                                                entry->port == port)
            return entry->fingerprint;
    }
    return std::nullopt;
}

bool TrustIdentity(const std::string& host, int port, const std::string& fingerprint)
{
    if (!IsPlainField(host) || !IsPlainField(fingerprint) || !platform::EnsureAppDataFolder())
        return false;
    const fs::path file = KnownServersFile();
    // Two programs trusting at once would each drop the other's line.
    FileLock lock;
    if (!lock.LockWithin(fs::path(file.string() + ".lock"), std::chrono::seconds(10)) ||
        !MayReplace(file))
        return false;
    const std::string key = Lowered(host);
    std::string text;
    bool headed = false;
    for (const std::string& line : ReadLines()) {
        headed = headed || line + "\n" == kHeader;
        if (!IsEntryFor(line, key, port))
            text += line + "\n";
    }
    if (!headed)
        text.insert(0, kHeader);
    text += key + " " + std::to_string(port) + " " + fingerprint + "\n";
    ReplacementFile replacement(file);
    const ByteBuffer bytes(text.begin(), text.end());
    return replacement.IsOpen() && replacement.WriteAll(bytes) && replacement.Sync() &&
           replacement.Commit() && replacement.SyncFolder();
}
