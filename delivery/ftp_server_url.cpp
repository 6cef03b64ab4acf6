#include "delivery/ftp_server_url.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace {

constexpr std::size_t kSchemeCapacity = 32;
constexpr std::size_t kHostCapacity = 256;
constexpr std::size_t kUserCapacity = 128;
constexpr std::size_t kPasswordCapacity = 128;
constexpr std::size_t kPathCapacity = 2048;
constexpr std::size_t kExtraCapacity = 2084;

// Each capacity counts the terminator the parts were once stored with.
bool Fits(const std::string& part, std::size_t capacity)
{
    return part.size() < capacity;
}

bool IsHostByte(unsigned char c)
{
    // Bytes above ASCII belong to international names, which curl converts.
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c >= 0x80;
}

bool IsBracketedAddressByte(unsigned char c)
{
    // Hex digits, separators and a zone name after "%".
    return std::isalnum(c) || c == ':' || c == '.' || c == '%';
}

bool ValidHost(const std::string& host)
{
    if (host.empty())
        return false;
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return false;
        for (std::size_t i = 1; i + 1 < host.size(); ++i) {
            if (!IsBracketedAddressByte(static_cast<unsigned char>(host[i])))
                return false;
        }
        return true;
    }
    for (unsigned char c : host) {
        if (!IsHostByte(c))
            return false;
    }
    return true;
}

// "" gives 21; otherwise 1 to 65535 in decimal digits.
bool ParsePort(const std::string& text, int& port)
{
    if (text.empty()) {
        port = 21;
        return true;
    }
    if (text.size() > 5)
        return false;
    int value = 0;
    for (unsigned char c : text) {
        if (!std::isdigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

bool SplitUserInfo(const std::string& userInfo)
{
    const std::size_t colon = userInfo.find(':');
    const std::string user = userInfo.substr(0, colon);
    const std::string password = colon == std::string::npos ? "" : userInfo.substr(colon + 1);
    return Fits(user, kUserCapacity) && Fits(password, kPasswordCapacity);
}

bool SplitHostPort(const std::string& hostPort, FtpServerUrl& parts)
{
    std::size_t hostEnd = 0;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string::npos)
            return false;
        hostEnd = close + 1;
    } else {
        hostEnd = hostPort.find(':');
        if (hostEnd == std::string::npos)
            hostEnd = hostPort.size();
    }
    const std::string host = hostPort.substr(0, hostEnd);
    std::string port;
    if (hostEnd < hostPort.size()) {
        if (hostPort[hostEnd] != ':')
            return false;
        port = hostPort.substr(hostEnd + 1);
    }
    if (!Fits(host, kHostCapacity) || !ValidHost(host) || !ParsePort(port, parts.port))
        return false;
    parts.host = host;
    return true;
}

} // namespace

bool SplitFtpUrl(const std::string& url, FtpServerUrl& parts)
{
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos)
        return false;
    const std::string scheme = url.substr(0, schemeEnd);
    if (!Fits(scheme, kSchemeCapacity) || ::strcasecmp(scheme.c_str(), "ftp") != 0)
        return false;

    const std::string rest = url.substr(schemeEnd + 3);
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string authority = rest.substr(0, authorityEnd);
    const std::size_t extraStart = std::min(rest.find_first_of("?#", authorityEnd), rest.size());
    const std::string path = rest.substr(authorityEnd, extraStart - authorityEnd);
    if (!Fits(path, kPathCapacity) || !Fits(rest.substr(extraStart), kExtraCapacity))
        return false;

    const std::size_t at = authority.rfind('@');
    const std::string hostPort = at == std::string::npos ? authority : authority.substr(at + 1);
    if (at != std::string::npos && !SplitUserInfo(authority.substr(0, at)))
        return false;
    FtpServerUrl split;
    if (!SplitHostPort(hostPort, split))
        return false;
    split.path = path;
    parts = split;
    return true;
}

std::string RemoteStartFolder(const FtpServerUrl& url)
{
    return url.path.empty() ? "." : url.path;
}
