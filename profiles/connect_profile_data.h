#pragma once

#include <string>

// The loader reads block numbers 0 to 31 only; the settings dialog refuses
// to offer more than this many destinations.
constexpr int MAX_CONNECT_PROFILES = 32;

// One saved server destination. A plain value, copied in and out of the
// profile controller. No field may hold a line feed: it ends every value in
// the profile file.
struct ConnectProfileData
{
    std::string dispName;        // shown in the destination lists
    std::string destination;     // "ftp://..." or a share path "\\server\share\..."
    bool authentication = false; // use id and password for the connection
    std::string id;              // user name
    std::string password;        // plain text in memory

    bool operator==(const ConnectProfileData&) const = default;
};
