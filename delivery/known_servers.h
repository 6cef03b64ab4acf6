#pragma once

#include <optional>
#include <string>

// The server identities the user trusted, in
// $XDG_CONFIG_HOME/korvanta/known_servers (mode 0600): one line per host and
// port, "host port fingerprint". Host names compare without regard to case.

// The fingerprint trusted for host and port; nullopt when none is.
std::optional<std::string> TrustedIdentity(const std::string& host, int port);

// Records fingerprint as the one trusted for host and port, replacing
// another. The file is replaced whole, so a reader never sees half of it.
// False when it cannot be written.
bool TrustIdentity(const std::string& host, int port, const std::string& fingerprint);
