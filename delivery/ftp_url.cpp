#include "delivery/ftp_url.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

std::string PercentEncode(const std::string& text)
{
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

namespace {

// The URL without a password in its user part: "ftp://ann:pw@host" gives
// "ftp://ann@host".
std::string WithoutPassword(const std::string& url)
{
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const std::size_t host = scheme + 3;
    const std::size_t authorityEnd = std::min(url.find_first_of("/?#", host), url.size());
    const std::size_t at = url.rfind('@', authorityEnd == host ? host : authorityEnd - 1);
    if (at == std::string::npos || at < host)
        return url;
    const std::size_t colon = url.find(':', host);
    if (colon == std::string::npos || colon > at)
        return url;
    return url.substr(0, colon) + url.substr(at);
}

} // namespace

std::string ServerUrlWithUser(const std::string& url, bool authentication, const std::string& id)
{
    std::string withUser = WithoutPassword(url);
    const std::size_t slashes = withUser.find("//");
    if (slashes == std::string::npos)
        return withUser;
    std::transform(withUser.begin(), withUser.begin() + slashes, withUser.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (authentication && !id.empty())
        withUser = withUser.substr(0, slashes + 2) + PercentEncode(id) + "@" +
                   UrlsWithoutCredentials(withUser).substr(slashes + 2);
    return withUser;
}

std::string UrlsWithoutCredentials(const std::string& text)
{
    std::string cleaned = text;
    for (std::size_t scheme = cleaned.find("://"); scheme != std::string::npos;
         scheme = cleaned.find("://", scheme + 3)) {
        const std::size_t host = scheme + 3;
        const std::size_t authorityEnd =
            std::min(cleaned.find_first_of("/?#", host), cleaned.size());
        const std::size_t at = cleaned.rfind('@', authorityEnd == host ? host : authorityEnd - 1);
        if (at != std::string::npos && at >= host)
            cleaned.erase(host, at + 1 - host);
    }
    return cleaned;
}
