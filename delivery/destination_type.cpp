#include "delivery/destination_type.h"

#include "delivery/server_url.h"

#include <strings.h>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    return ::strncasecmp(text.c_str(), prefix, std::char_traits<char>::length(prefix)) == 0;
}

} // namespace

int actCheckType(const std::string& destination)
{
    if (ServerProtocol protocol; ProtocolOfUrl(destination, protocol))
        return protocol == ServerProtocol::Sftp ? DEST_TYPE_SFTP : DEST_TYPE_FTP;
    if (destination.starts_with("\\\\") || StartsWithNoCase(destination, "smb://"))
        return DEST_TYPE_SMB;
    return DEST_TYPE_UNKNOWN;
}

std::string JoinPath(const std::string& folder, const std::string& name, char separator)
{
    if (folder.empty() || folder.back() == separator)
        return folder + name;
    return folder + separator + name;
}
