#include "delivery/server_url.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <strings.h>

namespace {

constexpr std::size_t kSchemeCapacity = 32;
constexpr std::size_t kHostCapacity = 256;
constexpr std::size_t kUserCapacity = 128;
constexpr std::size_t kPasswordCapacity = 128;
constexpr std::size_t kPathCapacity = 2048;
constexpr std::size_t kExtraCapacity = 2084;

struct Scheme
{
    const char* name;
    ServerProtocol protocol;
    int port;
};

constexpr std::array<Scheme, 4> kSchemes = {{
    {"ftp", ServerProtocol::Ftp, 21},
    {"ftpes", ServerProtocol::FtpExplicitTls, 21},
    {"ftps", ServerProtocol::FtpImplicitTls, 990},
    {"sftp", ServerProtocol::Sftp, 22},
}};

const Scheme* SchemeNamed(const std::string& name)
{
    for (const Scheme& scheme : kSchemes) {
        if (::strcasecmp(scheme.name, name.c_str()) == 0)
            return &scheme;
    }
    return nullptr;
}

struct UrlDeleter
{
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// Each capacity counts the terminator the parts were once stored with.
bool Fits(const std::string& part, std::size_t capacity)
{
    return part.size() < capacity;
}

// One part as the URL writes it; nullopt when the URL has none.
std::optional<std::string> Part(CURLU* url, CURLUPart which)
{
    char* text = nullptr;
    if (curl_url_get(url, which, &text, 0) != CURLUE_OK || !text)
        return std::nullopt;
    std::string part = text;
    curl_free(text);
    return part;
}

} // namespace

bool ProtocolOfUrl(const std::string& url, ServerProtocol& protocol)
{
    const std::size_t end = url.find("://");
    const Scheme* scheme = end == std::string::npos ? nullptr : SchemeNamed(url.substr(0, end));
    if (scheme)
        protocol = scheme->protocol;
    return scheme != nullptr;
}

const char* SchemeOf(ServerProtocol protocol)
{
    for (const Scheme& scheme : kSchemes) {
        if (scheme.protocol == protocol)
            return scheme.name;
    }
    return "";
}

bool SplitServerUrl(const std::string& url, ServerUrl& parts)
{
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos || !Fits(url.substr(0, schemeEnd), kSchemeCapacity))
        return false;
    const Scheme* scheme = SchemeNamed(url.substr(0, schemeEnd));
    const std::size_t authorityStart = schemeEnd + 3;
    const std::size_t authorityEnd = std::min(url.find_first_of("/?#", authorityStart), url.size());
    if (!scheme)
        return false;
    // The user part ends at the last "@": user names may hold one. It is
    // checked here and never used, so curl gets the URL without it. A URL
    // with no host is refused here too: curl would take "ftp:///pub" for
    // the host "pub".
    const std::string authority = url.substr(authorityStart, authorityEnd - authorityStart);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        if (!Fits(userInfo.substr(0, colon), kUserCapacity) ||
            (colon != std::string::npos && !Fits(userInfo.substr(colon + 1), kPasswordCapacity)))
            return false;
    }
    const std::size_t hostStart = at == std::string::npos ? authorityStart : authorityStart + at + 1;
    if (hostStart == authorityEnd)
        return false;
    // curl does not know "ftpes"; its rules for the rest are the same.
    const std::string curlUrl = "ftp://" + url.substr(hostStart);
    std::unique_ptr<CURLU, UrlDeleter> handle(curl_url());
    // The path is taken as written: dot segments and escapes mean something
    // to the server.
    if (!handle ||
        curl_url_set(handle.get(), CURLUPART_URL, curlUrl.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK)
        return false;
    const auto host = Part(handle.get(), CURLUPART_HOST);
    const auto zone = Part(handle.get(), CURLUPART_ZONEID);
    const auto port = Part(handle.get(), CURLUPART_PORT);
    const auto path = Part(handle.get(), CURLUPART_PATH);
    const auto query = Part(handle.get(), CURLUPART_QUERY);
    const auto fragment = Part(handle.get(), CURLUPART_FRAGMENT);
    if (!host || host->empty())
        return false;
    std::string fullHost = *host;
    if (zone)
        fullHost.insert(fullHost.size() - 1, "%25" + *zone);
    // curl writes "/" for a URL without a path.
    const bool hasPath = authorityEnd < url.size() && url[authorityEnd] == '/';
    const std::string extra = (query ? "?" + *query : "") + (fragment ? "#" + *fragment : "");
    if (!Fits(fullHost, kHostCapacity) || !Fits(extra, kExtraCapacity) ||
        (hasPath && !Fits(path.value_or(""), kPathCapacity)))
        return false;
    ServerUrl split{scheme->protocol, fullHost, scheme->port, hasPath ? path.value_or("") : ""};
    if (port) {
        const int number = std::atoi(port->c_str());
        if (number < 1 || number > 65535)
            return false;
        split.port = number;
    }
    parts = split;
    return true;
}

std::string RemoteStartFolder(const ServerUrl& url)
{
    if (!url.path.empty())
        return url.path;
    return url.protocol == ServerProtocol::Sftp ? "/~" : ".";
}
