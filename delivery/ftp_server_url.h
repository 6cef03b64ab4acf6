#pragma once

#include <string>

// The parts of an FTP destination URL that the upload uses.
struct FtpServerUrl
{
    std::string host; // as written; an IPv6 address keeps its brackets
    int port = 21;    // the URL's port, 21 when it names none
    std::string path; // from the first "/" up to "?" or "#", escapes kept; "" when none
};

// Splits "ftp://[user[:password]@]host[:port][/path][?...|#...]" (scheme in
// any case). User name, password and the text after "?" or "#" are dropped.
// False when the URL has no host, a bad port, or a part too long for the
// upload: scheme 31, host 255, user name 127, password 127, path 2047,
// "?"/"#" text 2083 characters.
bool SplitFtpUrl(const std::string& url, FtpServerUrl& parts);

// The folder an upload starts in: the URL path, or "." (the login folder)
// when the URL has none.
std::string RemoteStartFolder(const FtpServerUrl& url);
