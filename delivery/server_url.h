#pragma once

#include <string>

// How a server destination is reached.
enum class ServerProtocol
{
    Ftp,            // "ftp://": plain FTP, port 21
    FtpExplicitTls, // "ftpes://": AUTH TLS on the FTP port, 21
    FtpImplicitTls, // "ftps://": TLS from the first byte, port 990
    Sftp,           // "sftp://": SSH file transfer, port 22
};

// The parts of a server destination URL that the upload uses.
struct ServerUrl
{
    ServerProtocol protocol = ServerProtocol::Ftp;
    std::string host; // as written; an IPv6 address keeps its brackets
    int port = 21;    // the URL's port, the protocol's own when it names none
    std::string path; // from the first "/" up to "?" or "#", escapes kept; "" when none
};

// The protocol a URL's scheme (any case) names; false for any other text.
bool ProtocolOfUrl(const std::string& url, ServerProtocol& protocol);

// The scheme of the protocol, lower case: "ftp", "ftpes", "ftps" or "sftp".
const char* SchemeOf(ServerProtocol protocol);

// Splits "scheme://[user[:password]@]host[:port][/path][?...][#...]" with
// curl's URL parser. User name, password and the text after "?" or "#" are
// dropped. False when the scheme is none of ours, the URL has no host or a
// bad port, or a part is too long for the upload: scheme 31, host 255, user
// name 127, password 127, path 2047, "?"/"#" text 2083 bytes.
bool SplitServerUrl(const std::string& url, ServerUrl& parts);

// The folder an upload starts in: the URL path, or the login folder when
// the URL has none ("." for FTP, "/~" for SFTP).
std::string RemoteStartFolder(const ServerUrl& url);
