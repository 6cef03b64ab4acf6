#pragma once

#include "delivery/identity_check.h"
#include "delivery/server_url.h"

#include <optional>
#include <string>

// The identity a server showed when asked, and what is known of it.
struct ShownIdentity
{
    std::string host;
    int port = 0;
    std::string fingerprint;
    SystemVerdict system = SystemVerdict::Unknown;
    std::optional<std::string> trusted; // what the user trusted before, if anything
};

// Connects to an FTPS or SFTP server only as far as it shows its identity;
// nothing is logged in or sent. nullopt when nothing was shown, and for
// plain FTP, which has no identity to show.
std::optional<ShownIdentity> ShowServerIdentity(const ServerUrl& url);
