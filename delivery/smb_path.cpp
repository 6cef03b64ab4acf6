#include "delivery/smb_path.h"

#include "delivery/ftp_url.h"

#include <string_view>
#include <strings.h>

namespace {

const char kScheme[] = "smb://";
const std::size_t kSchemeLength = sizeof(kScheme) - 1;

std::vector<std::string> Split(const std::string& text, std::string_view separators)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// The path after "\\" or "smb://", split at its separators, one trailing
// separator dropped.
std::optional<std::vector<std::string>> Components(const std::string& destination, bool& isUrl)
{
    std::string rest;
    // A view, not a string: assigning a one-character literal to a string
    // draws a false -Wrestrict from GCC 12 (GCC bug 105329).
    std::string_view separators;
    if (destination.starts_with("\\\\")) {
        isUrl = false;
        rest = destination.substr(2);
        separators = "\\/";
    } else if (::strncasecmp(destination.c_str(), kScheme, kSchemeLength) == 0) {
        isUrl = true;
        rest = destination.substr(kSchemeLength);
        separators = "/";
    } else {
        return std::nullopt;
    }
    if (!rest.empty() && separators.find(rest.back()) != std::string::npos)
        rest.pop_back();
    return Split(rest, separators);
}

} // namespace

std::optional<SharePath> ParseSharePath(const std::string& destination)
{
    bool isUrl = false;
    const auto parts = Components(destination, isUrl);
    if (!parts || parts->size() < 2)
        return std::nullopt;
    const std::string& server = parts->front();
    if (server.find_first_of("@?") != std::string::npos)
        return std::nullopt;
    for (const auto& part : *parts) {
        if (part.empty() || (isUrl && part.find('?') != std::string::npos))
            return std::nullopt;
    }
    SharePath path;
    path.shareUrl = kScheme + server + "/" + (isUrl ? (*parts)[1] : PercentEncode((*parts)[1]));
    path.url = path.shareUrl;
    for (std::size_t i = 2; i < parts->size(); ++i)
        path.url += "/" + (isUrl ? (*parts)[i] : PercentEncode((*parts)[i]));
    return path;
}

std::string AppendToShareUrl(const std::string& url, const std::string& name)
{
    return url + "/" + PercentEncode(name);
}

std::vector<std::string> FoldersBelowShare(const std::string& url)
{
    std::vector<std::string> folders;
    const auto path = ParseSharePath(url);
    if (!path)
        return folders;
    std::size_t end = path->shareUrl.size();
    while (end < path->url.size()) {
        end = path->url.find('/', end + 1);
        folders.push_back(path->url.substr(0, end));
    }
    return folders;
}
