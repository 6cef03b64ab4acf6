#include "delivery/trusted_login.h"

#include "convert/result_codes.h"
#include "delivery/known_servers.h"
#include "log/debug_log.h"
#include "log/failure.h"

void LogInTrusting(const std::string& function, const SendingData& request,
                   const IdentityCheck& identity, const std::function<bool()>& logIn)
{
    for (bool asked = false;; asked = true) {
        if (logIn())
            return;
        const std::optional<UntrustedServer> refused = identity.Refused();
        if (!refused)
            throw CodedFailure(RESULT_SERVER_UNREACHABLE, "InternetConnectW() failed.");
        LogError(function, "%s", RefusalText(*refused).c_str());
        if (asked || !request.trustServer || !request.trustServer(*refused))
            throw CodedFailure(RESULT_SERVER_UNREACHABLE, "The server's identity is not trusted.");
        if (!TrustIdentity(refused->host, refused->port, refused->fingerprint))
            throw CodedFailure(RESULT_SERVER_UNREACHABLE,
                               "The trusted identity cannot be recorded.");
    }
}
