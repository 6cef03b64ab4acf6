#include "delivery/identity_check.h"

#include "delivery/known_servers.h"

#include <openssl/evp.h>

IdentityCheck::IdentityCheck(std::string host, int port, bool showOnly)
    : host_(std::move(host)), port_(port), showOnly_(showOnly)
{
}

bool IdentityCheck::Accept(const std::string& fingerprint, SystemVerdict system)
{
    shown_ = fingerprint;
    shownVerdict_ = system;
    // Read at each connection: another program may have trusted it since.
    const std::optional<std::string> trusted = TrustedIdentity(host_, port_);
    const bool accepted =
        !showOnly_ && (system == SystemVerdict::Vouched || (trusted && *trusted == fingerprint));
    if (!accepted) {
        const bool changed = (trusted && *trusted != fingerprint) ||
                             (!trusted && system == SystemVerdict::Mismatch);
        refused_ = UntrustedServer{host_, port_, fingerprint, changed};
    }
    return accepted;
}

std::string RefusalText(const UntrustedServer& server)
{
    const std::string where = server.host + ":" + std::to_string(server.port);
    if (server.changed)
        return "WARNING: THE IDENTITY OF " + where +
               " HAS CHANGED. Someone may be intercepting the connection. It now shows " +
               server.fingerprint + ", not the identity you trusted. Nothing was sent.";
    return "The identity of " + where + " cannot be checked. It shows " + server.fingerprint +
           ". Nothing was sent.";
}

std::vector<unsigned char> Sha256Of(const unsigned char* data, std::size_t size)
{
    std::vector<unsigned char> digest(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest.data(), &length, EVP_sha256(), nullptr) != 1)
        return {};
    digest.resize(length);
    return digest;
}
