#include "platform/file_url.h"

#include <cctype>
#include <string_view>

std::string FileUrl(const std::filesystem::path& path)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : std::filesystem::absolute(path).lexically_normal().string()) {
        if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) !=
                                   std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}
