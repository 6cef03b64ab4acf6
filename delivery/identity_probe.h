#pragma once

#include "delivery/identity_check.h"

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

// Connects to the server of an "ftpes://", "ftps://" or "sftp://" URL only
// as far as it shows its identity; nothing is logged in or sent. nullopt,
// with error set, when the URL is none of those or nothing was shown.
std::optional<ShownIdentity> ShowServerIdentity(const std::string& url, std::string& error);
