#include "delivery/identity_probe.h"

#include "delivery/ftp_connection.h"
#include "delivery/known_servers.h"
#include "delivery/sftp_connection.h"

namespace {

// The connection's own bounds, shorter: nothing long is waited for.
const FtpLimits kProbeLimits{15, 15, 15};

template <class Connection, class Login>
std::optional<ShownIdentity> Probe(const ServerUrl& url, const Login& login)
{
    Connection connection(kProbeLimits);
    connection.ShowIdentity(login);
    const IdentityCheck& identity = connection.Identity();
    if (identity.Shown().empty())
        return std::nullopt;
    return ShownIdentity{url.host, url.port, identity.Shown(), identity.ShownVerdict(),
                         TrustedIdentity(url.host, url.port)};
}

} // namespace

std::optional<ShownIdentity> ShowServerIdentity(const ServerUrl& url)
{
    switch (url.protocol) {
    case ServerProtocol::Ftp:
        return std::nullopt;
    case ServerProtocol::Sftp:
        return Probe<SftpConnection>(url, SftpLogin{url.host, url.port, {}, {}});
    default:
        return Probe<FtpConnection>(url, FtpLogin{url.host, url.port, {}, {}, url.protocol});
    }
}
