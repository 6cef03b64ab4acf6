#pragma once

#include <string>

// A server whose identity could not be checked: neither the system's
// certificate authorities, nor ~/.ssh/known_hosts, nor the servers the user
// trusted vouch for what it showed.
struct UntrustedServer
{
    std::string host; // as in the URL; an IPv6 address in brackets
    int port = 0;
    // "SHA256:<base64>" for an SSH host key; the SHA-256 of a TLS
    // certificate as colon-separated upper-case hex pairs.
    std::string fingerprint;
    // The user trusted another identity for this host and port.
    bool changed = false;
};
