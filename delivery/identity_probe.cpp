#include "delivery/identity_probe.h"

#include "delivery/ftp_connection.h"
#include "delivery/known_servers.h"
#include "delivery/server_url.h"
#include "delivery/sftp_connection.h"

namespace {

// The connection's own bounds, shorter: nothing long is waited for.
const FtpLimits kProbeLimits{15, 15, 15};

const IdentityCheck* Probe(const ServerUrl& url, FtpConnection& ftp, SftpConnection& sftp)
{
    if (url.protocol == ServerProtocol::Sftp) {
        sftp.ShowIdentity(SftpLogin{url.host, url.port, {}, {}});
        return &sftp.Identity();
    }
    ftp.ShowIdentity(FtpLogin{url.host, url.port, {}, {}, url.protocol});
    return &ftp.Identity();
}

} // namespace

std::optional<ShownIdentity> ShowServerIdentity(const std::string& url, std::string& error)
{
    ServerUrl parts;
    if (!SplitServerUrl(url, parts) || parts.protocol == ServerProtocol::Ftp) {
        error = "the URL must start with ftpes://, ftps:// or sftp:// and name a server";
        return std::nullopt;
    }
    FtpConnection ftp(kProbeLimits);
    SftpConnection sftp(kProbeLimits);
    const IdentityCheck* identity = Probe(parts, ftp, sftp);
    if (identity->Shown().empty()) {
        error = "no identity could be read from " + parts.host + ":" + std::to_string(parts.port);
        return std::nullopt;
    }
    return ShownIdentity{parts.host, parts.port, identity->Shown(), identity->ShownVerdict(),
                         TrustedIdentity(parts.host, parts.port)};
}
