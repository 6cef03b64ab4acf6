#include "delivery/smb_upload.h"

#include "convert/result_codes.h"
#include "delivery/delivery.h"
#include "delivery/smb_copy_target.h"
#include "delivery/smb_path.h"
#include "log/debug_log.h"
#include "log/failure.h"

namespace {

const char* const kConnectName = "actConnectSMB";
const char* const kSendingName = "actSendingSMB";

ShareCredentials Credentials(bool authentication, const std::string& id,
                             const std::string& password)
{
    if (!authentication)
        return {};
    return {true, id, password};
}

} // namespace

bool actConnectSMB(const std::string& destination, bool authentication, const std::string& id,
                   const std::string& password)
{
    LogStart(kConnectName);
    bool connected = false;
    try {
        // The caller logs a failure; nothing is written to the share here.
        const SmbContext context(Credentials(authentication, id, password));
        connected = ConnectShare(context, destination);
    } catch (...) {
        connected = false;
    }
    LogEnd(kConnectName, __LINE__);
    return connected;
}

int actSendingSMB(const SendingData* request)
{
    LogStart(kSendingName);
    if (!request) {
        LogError(kSendingName, "Invalid parameter.");
        LogEnd(kSendingName, __LINE__);
        return RESULT_NO_DELIVERY_REQUEST;
    }
    const int result = ResultOfSteps(kSendingName, RESULT_DELIVERY_FAILED, [&] {
        if (!actConnectSMB(request->destination, request->authentication, request->id,
                           request->password))
            throw CodedFailure(RESULT_DELIVERY_FAILED, "actConnectSMB() failed.");
        return fnsdExecuteCopyingToShare(request);
    });
    LogEnd(kSendingName, __LINE__);
    return result;
}

std::unique_ptr<CopyTarget> OpenShareCopyTarget(const SendingData& request)
{
    auto target = std::make_unique<SmbCopyTarget>(
        Credentials(request.authentication, request.id, request.password));
    if (!ConnectShare(target->Context(), request.destination))
        throw Failure("actConnectSMB() failed.");
    return target;
}

std::string ShareOpenTarget(const std::string& destination, bool authentication,
                            const std::string& id, const std::string& password)
{
    const auto path = ParseSharePath(destination);
    if (!path || !actConnectSMB(destination, authentication, id, password))
        throw Failure("actConnectSMB() failed.");
    return path->url;
}
