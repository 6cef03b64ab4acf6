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

std::string FtpUrlWithUser(const std::string& url, bool authentication, const std::string& id)
{
    std::string withUser = url;
    const std::size_t slashes = url.find("//");
    if (slashes == std::string::npos)
        return withUser;
    // Schemes are case-insensitive, but desktop handlers are registered for
    // "ftp" only.
    std::transform(withUser.begin(), withUser.begin() + slashes, withUser.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (authentication && !id.empty())
        withUser.insert(slashes + 2, PercentEncode(id) + "@");
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
