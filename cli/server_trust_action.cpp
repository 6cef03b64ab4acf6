#include "cli/server_trust_action.h"

#include "cli/cli_output.h"
#include "cli/command.h"
#include "convert/result_codes.h"
#include "delivery/identity_probe.h"
#include "delivery/known_servers.h"

#include <iostream>
#include <unistd.h>

namespace {

QString Standing(const ShownIdentity& shown)
{
    if (shown.trusted && *shown.trusted == shown.fingerprint)
        return "It is the identity you trusted.";
    if (shown.trusted)
        return "WARNING: IT HAS CHANGED. You trusted " + QString::fromStdString(*shown.trusted) +
               ". Someone may be intercepting the connection.";
    switch (shown.system) {
    case SystemVerdict::Vouched:
        return "The system's certificate authorities or known_hosts vouch for it.";
    case SystemVerdict::Mismatch:
        return "WARNING: ~/.ssh/known_hosts names another key for this server. Someone may be "
               "intercepting the connection.";
    default:
        return "It is new to you: compare it with what the server's administrator gives.";
    }
}

bool UserAgrees()
{
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
        PrintError("servers trust: not recorded; answer on a terminal, or give --yes");
        return false;
    }
    std::cerr << "Trust it? [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

} // namespace

int TrustServerAction(const QString& url, bool yes)
{
    ServerUrl parts;
    if (!SplitServerUrl(url.toStdString(), parts) || parts.protocol == ServerProtocol::Ftp) {
        PrintError("servers trust: the URL must start with ftpes://, ftps:// or sftp:// and "
                   "name a server");
        return kUsageError;
    }
    const auto shown = ShowServerIdentity(parts);
    if (!shown) {
        PrintError(QString("servers trust: no identity could be read from %1:%2")
                       .arg(QString::fromStdString(parts.host))
                       .arg(parts.port));
        return RESULT_SERVER_UNREACHABLE;
    }
    const QString server = QString::fromStdString(shown->host) + ":" + QString::number(shown->port);
    std::cerr << server.toStdString() << " shows " << shown->fingerprint << "\n"
              << Standing(*shown).toStdString() << "\n";
    if (!yes && !UserAgrees())
        return 1;
    if (!TrustIdentity(shown->host, shown->port, shown->fingerprint)) {
        PrintError("servers trust: the identity cannot be recorded in known_servers");
        return 1;
    }
    PrintResult("trusted " + server + " " + QString::fromStdString(shown->fingerprint));
    return 0;
}
