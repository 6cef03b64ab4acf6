#pragma once

#include "delivery/untrusted_server.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What the system's own trust says of a server's identity: the certificate
// authorities for TLS, ~/.ssh/known_hosts for SSH.
enum class SystemVerdict
{
    Vouched,  // trusted
    Unknown,  // no say
    Mismatch, // known_hosts names another key for the host
};

// Decides, during one connection, whether the server at host and port is
// the one the user means. A server the system vouches for, or whose
// fingerprint the user trusted, is accepted; any other is refused. A
// fingerprint other than the one trusted, or than known_hosts names, is a
// changed identity.
class IdentityCheck
{
public:
    // showOnly: refuse every identity once it was seen, for a caller that
    // only wants to see it.
    IdentityCheck(std::string host, int port, bool showOnly = false);

    const std::string& Host() const { return host_; }
    int Port() const { return port_; }

    // Whether to go on with a server that shows fingerprint.
    bool Accept(const std::string& fingerprint, SystemVerdict system);

    // The last identity shown, and what the system said of it.
    const std::string& Shown() const { return shown_; }
    SystemVerdict ShownVerdict() const { return shownVerdict_; }
    // The identity refused last, if any.
    const std::optional<UntrustedServer>& Refused() const { return refused_; }

private:
    std::string host_;
    int port_;
    bool showOnly_;
    std::string shown_;
    SystemVerdict shownVerdict_ = SystemVerdict::Unknown;
    std::optional<UntrustedServer> refused_;
};

// "The identity of host:port cannot be checked ..." or, for a changed one,
// a warning: the text a log line or a message gives of a refused server.
std::string RefusalText(const UntrustedServer& server);

// The SHA-256 digest of the bytes; empty when it cannot be made.
std::vector<unsigned char> Sha256Of(const unsigned char* data, std::size_t size);
